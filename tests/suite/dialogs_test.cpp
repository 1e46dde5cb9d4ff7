// The suite's message boxes, answered by the recording presenter; the progress-window
// notification before each box on a private session bus.
#include "suite/dialogs.h"

#include "platform/testing/recording_presenter.h"
#include "suite/translate.h"
#include "test_env.h"
#include "tests/platform/private_bus.h"
#include "translate_print.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

using platform::BoxKind;
using platform::testing::RecordingPresenter;

const QString English = "Row cannot be located for updating. Some values may have been changed since it was last read";
const QString Swedish = "Det gick inte att hitta raden för uppdatering. Vissa värden kan ha ändrats sedan den lästes sist";
const QString Explanation = "Uppgifterna kan ha ändrats av en annan användare.\r"
                            "Om möjligt, kopiera dina ändringar till klippbordet.\r\r"
                            "Tryck sedan Ångra för att se de aktuella uppgifterna.";

// A test that turns translation on leaves it off again for the next one in this process.
class Dialogs : public ::testing::Test
{
protected:
    void TearDown() override
    {
        suite::LanguageFileActive = false;
        suite::LoadLanguageFile(QString());
        suite::LanguageFileName.clear();
    }
};

// 150 characters that show which of them survived.
QString tail150()
{
    QString tail;
    for (int i = 0; tail.size() < 150; ++i)
        tail += QString::number(i % 10);
    return tail;
}

struct ConflictCase
{
    const char *what;
    QString text;
    BoxKind kind;
    QString shown;
};

TEST_F(Dialogs, ShowMessageTextRewritesTheUpdateConflict)
{
    const QString tail = tail150();
    const ConflictCase cases[] = {
        {"English phrase and full stop", English + ".", BoxKind::Warning, Explanation},
        {"words in front stay", "Fel vid sparandet: " + English + ".", BoxKind::Warning, "Fel vid sparandet: " + Explanation},
        {"92 characters of what follows go", English + tail, BoxKind::Warning, Explanation + tail.right(58)},
        {"phrase at the very end", "x " + English, BoxKind::Warning, "x " + Explanation},
        {"Swedish phrase", Swedish + ".", BoxKind::Warning, Explanation},
        {"Swedish phrase, long tail", "A " + Swedish + tail, BoxKind::Warning, "A " + Explanation + tail.right(58)},
        {"English wins over Swedish", Swedish + " / " + English + ".", BoxKind::Warning, Swedish + " / " + Explanation},
        {"empty text", "", BoxKind::Information, ""},
        {"other text", "Det gick inte att spara.\r\rDisk full", BoxKind::Information, "Det gick inte att spara.\r\rDisk full"},
        {"phrase in other letter case", English.toLower() + ".", BoxKind::Information, English.toLower() + "."},
        {"phrase cut short", English.chopped(1), BoxKind::Information, English.chopped(1)},
    };
    for (const ConflictCase &c : cases) {
        RecordingPresenter boxes;
        suite::ShowMessageText(c.text);
        ASSERT_EQ(boxes.boxes().size(), 1) << c.what;
        const platform::MessageBox &box = boxes.boxes().first();
        EXPECT_EQ(box.kind, c.kind) << c.what;
        EXPECT_EQ(box.title, c.kind == BoxKind::Warning ? "Warning" : "Information") << c.what;
        EXPECT_EQ(box.buttons, QStringList{"OK"}) << c.what;
        EXPECT_EQ(box.text, c.shown) << c.what;
    }
}

TEST_F(Dialogs, ShowErrorShowsItsTextAsShowMessageTextDoes)
{
    RecordingPresenter boxes;
    suite::ShowError("Det gick inte att radera värdet i registret!\r\rÅtkomst nekad");
    suite::ShowError(English + ".");
    ASSERT_EQ(boxes.boxes().size(), 2);
    EXPECT_EQ(boxes.boxes()[0].kind, BoxKind::Information);
    EXPECT_EQ(boxes.boxes()[0].text, "Det gick inte att radera värdet i registret!\r\rÅtkomst nekad");
    EXPECT_EQ(boxes.boxes()[1].kind, BoxKind::Warning);
    EXPECT_EQ(boxes.boxes()[1].text, Explanation);
}

struct AnswerCase
{
    int answer;
    int result;
};

TEST_F(Dialogs, AskYesNoAsksAndReturnsTheAnswer)
{
    const AnswerCase cases[] = {{platform::BoxYes, suite::ResultYes},
                                {platform::BoxNo, suite::ResultNo},
                                {platform::BoxClosed, platform::BoxClosed}};
    for (const AnswerCase &c : cases) {
        RecordingPresenter boxes;
        boxes.answer(c.answer);
        EXPECT_EQ(suite::AskYesNo("Vill du radera?"), c.result);
        ASSERT_EQ(boxes.boxes().size(), 1);
        const platform::MessageBox &box = boxes.boxes().first();
        EXPECT_EQ(box.kind, BoxKind::Confirmation);
        EXPECT_EQ(box.title, "Confirm");
        EXPECT_EQ(box.text, "Vill du radera?");
        EXPECT_EQ(box.buttons, (QStringList{"&Yes", "&No"}));
        EXPECT_EQ(box.defaultButton, 0);
    }
}

TEST_F(Dialogs, ShowInfoShowsItsTextInAnInformationBox)
{
    RecordingPresenter boxes;
    suite::ShowInfo("Anslutningen fungerar!");
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].kind, BoxKind::Information);
    EXPECT_EQ(boxes.boxes()[0].title, "Information");
    EXPECT_EQ(boxes.boxes()[0].buttons, QStringList{"OK"});
    EXPECT_EQ(boxes.boxes()[0].text, "Anslutningen fungerar!");
}

TEST_F(Dialogs, OnlyShowInfoAndTheExplanationAreTranslated)
{
    const QString path = testenv::root() + "/lang/english.lng";
    testenv::writeFile(path, "Engelska\r\n"
                             "Anslutningen fungerar!;The connection works!\r\n"
                             "Vill du radera?;Delete?\r\n"
                             "Uppgifterna kan ha \xe4ndrats av en annan anv\xe4ndare.;Someone else changed the data.\r\n"
                             "Tryck sedan \xc5ngra f\xf6r att se de aktuella uppgifterna.;Then press Undo.\r\n");
    ASSERT_TRUE(suite::LoadLanguageFile(path));
    suite::LanguageFileActive = true;
    RecordingPresenter boxes;
    boxes.answer(platform::BoxYes);
    suite::ShowInfo("Anslutningen fungerar!");
    suite::ShowError("Anslutningen fungerar!");
    suite::AskYesNo("Vill du radera?");
    suite::ShowMessageText(English + ".");
    ASSERT_EQ(boxes.boxes().size(), 4);
    EXPECT_EQ(boxes.boxes()[0].text, "The connection works!");
    EXPECT_EQ(boxes.boxes()[1].text, "Anslutningen fungerar!");
    EXPECT_EQ(boxes.boxes()[2].text, "Vill du radera?");
    EXPECT_EQ(boxes.boxes()[3].text, "Someone else changed the data.\r"
                                     "Om möjligt, kopiera dina ändringar till klippbordet.\r\r"
                                     "Then press Undo.");
}

TEST_F(Dialogs, TheApplicationErrorBoxIsCaptionedWithTheApplicationTitle)
{
    RecordingPresenter boxes;
    QCoreApplication::setApplicationName("vardo-admin");
    suite::ShowApplicationError("Ogiltigt heltal");
    suite::SetApplicationTitle("Tellvara AB Vardo-ServiceAdmin");
    suite::ShowApplicationError("Åtkomst nekad");
    ASSERT_EQ(boxes.boxes().size(), 2);
    EXPECT_EQ(boxes.boxes()[0].title, "vardo-admin");
    EXPECT_EQ(boxes.boxes()[1].title, "Tellvara AB Vardo-ServiceAdmin");
    EXPECT_EQ(boxes.boxes()[1].kind, BoxKind::Error);
    EXPECT_EQ(boxes.boxes()[1].text, "Åtkomst nekad");
    EXPECT_EQ(boxes.boxes()[1].buttons, QStringList{"OK"});
}

// Notes, for each box, how many notifications the progress app had received by then.
class NotificationCountingPresenter : public RecordingPresenter
{
public:
    explicit NotificationCountingPresenter(const testbus::FakeProgressApp &app)
        : m_app(app)
    {
    }
    int present(const platform::MessageBox &box) override
    {
        counts.append(int(m_app.calls().size()));
        return RecordingPresenter::present(box);
    }
    QList<int> counts;

private:
    const testbus::FakeProgressApp &m_app;
};

TEST_F(Dialogs, EveryBoxIsPrecededByExactlyOneProgressNotification)
{
    testbus::PrivateBus bus(testenv::root() + "/session.sock");
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    testbus::FakeProgressApp app(bus.address());
    NotificationCountingPresenter boxes(app);
    boxes.answer(platform::BoxYes);

    suite::ShowInfo("Anslutningen fungerar!");
    suite::ShowError("Det gick inte att spara.");
    suite::ShowMessageText(English + ".");
    suite::AskYesNo("Vill du radera?");
    suite::ShowApplicationError("Ogiltigt heltal");
    suite::DeactivateProgressApp();
    // An active language file that is missing raises a box of its own while the text of
    // the information box is translated.
    suite::LanguageFileActive = true;
    suite::ShowInfo("Spara");

    EXPECT_EQ(boxes.counts, (QList<int>{1, 2, 3, 4, 5, 7, 8}));
    EXPECT_EQ(boxes.boxes()[5].title, "Error");
    EXPECT_EQ(app.calls().size(), 8);
}

TEST_F(Dialogs, BoxesAppearWithoutAProgressApp)
{
    testbus::PrivateBus bus(testenv::root() + "/session.sock");
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    RecordingPresenter boxes;
    suite::ShowInfo("Klart");
    EXPECT_EQ(boxes.boxes().size(), 1);
}

} // namespace
