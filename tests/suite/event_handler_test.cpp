// An error that leaves an event handler is shown once in the application's error box.
#include "suite/event_handler.h"

#include "platform/testing/recording_presenter.h"
#include "suite/dialogs.h"
#include "platform/error.h"

#include <gtest/gtest.h>

#include <stdexcept>

using platform::testing::RecordingPresenter;

TEST(EventHandler, ErrorIsShownInTheApplicationErrorBox)
{
    RecordingPresenter presenter;
    suite::SetApplicationTitle(QStringLiteral("Tellvara AB Vardo-ServiceAdmin"));
    bool after = false;
    suite::runEventHandler([&] {
        throw platform::Error(QStringLiteral("Unable to get Current path"));
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes()[0].kind, platform::BoxKind::Error);
    EXPECT_EQ(presenter.boxes()[0].title, "Tellvara AB Vardo-ServiceAdmin");
    EXPECT_EQ(presenter.boxes()[0].text, "Unable to get Current path");
}

TEST(EventHandler, ForeignErrorsAreShownToo)
{
    RecordingPresenter presenter;
    suite::runEventHandler([] { throw std::runtime_error("disk full"); });
    suite::runEventHandler([] { throw 42; });
    ASSERT_EQ(presenter.boxes().size(), 2);
    EXPECT_EQ(presenter.boxes()[0].text, "disk full");
    EXPECT_EQ(presenter.boxes()[1].kind, platform::BoxKind::Error);
}

TEST(EventHandler, AHandlerThatSucceedsShowsNothing)
{
    RecordingPresenter presenter;
    int runs = 0;
    suite::runEventHandler([&] { ++runs; });
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(presenter.boxes().isEmpty());
}
