// The HTTP unit's hooks reach the suite's dialogs and translation once installed.
#include "app/core/startup.h"

#include "net/hooks.h"
#include "platform/testing/recording_presenter.h"
#include "suite/dialogs.h"

#include <gtest/gtest.h>

using platform::testing::RecordingPresenter;

TEST(Startup, NetHooksShowAskAndTranslateThroughTheSuite)
{
    RecordingPresenter presenter;
    app::installNetHooks();
    ASSERT_TRUE(net::MessageHook && net::ConfirmHook && net::TranslateHook);
    net::MessageHook(QStringLiteral("Överföringen avbröts"));
    presenter.answer(platform::BoxYes);
    EXPECT_EQ(net::ConfirmHook(QStringLiteral("Fortsätta?")), suite::ResultYes);
    EXPECT_EQ(net::TranslateHook(QStringLiteral("Spara")), "Spara");
    ASSERT_EQ(presenter.boxes().size(), 2);
    EXPECT_EQ(presenter.boxes()[0].kind, platform::BoxKind::Information);
    EXPECT_EQ(presenter.boxes()[0].text, "Överföringen avbröts");
    EXPECT_EQ(presenter.boxes()[1].kind, platform::BoxKind::Confirmation);
    EXPECT_EQ(presenter.boxes()[1].text, "Fortsätta?");
}

TEST(Startup, CaptionsAreTheProgramsOwn)
{
    EXPECT_EQ(app::ApplicationTitle, "Tellvara AB Vardo-ServiceAdmin");
    EXPECT_EQ(app::MainWindowCaption, QString::fromUtf8("Tellvara AB Vardo-Tjänst Adminprogram   version: 2.00.3"));
}
