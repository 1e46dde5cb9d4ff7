// The provider's own entry dialog, opened by CreateEntry and EditEntry where no system
// connection editor exists (the simulated modem always uses it). The test fills in the
// modal dialog from a timer, as a user would.
#include "dialup/tdialup.h"

#include "platform/ras_simulated_phonebook.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace dialup;
using namespace platform::ras;

namespace {

struct Typed
{
    QString name;
    QString phone;
    QString user;
    QString password;
};

// Fills in the dialog once it shows, then presses OK or Cancel.
void answerDialog(const Typed &typed, bool ok, QString *title = nullptr)
{
    QTimer::singleShot(50, [=] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (title)
            *title = dialog->windowTitle();
        dialog->findChild<QLineEdit *>("edEntryName")->setText(typed.name);
        dialog->findChild<QLineEdit *>("edPhoneNumber")->setText(typed.phone);
        dialog->findChild<QLineEdit *>("edUserName")->setText(typed.user);
        dialog->findChild<QLineEdit *>("edPassword")->setText(typed.password);
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
}

class EntryDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { qputenv("TELLVARA_RAS_BACKEND", "simulated"); }
    TDialUp dialUp;
};

TEST_F(EntryDialogTest, CreateEntryWritesWhatWasTyped)
{
    QString title;
    answerDialog({"Hemma", "0771-1000", "åke", "lösen"}, true, &title);
    ASSERT_EQ(dialUp.CreateEntry(), 0);
    EXPECT_EQ(title, QStringLiteral("New dial-up entry"));
    SimulatedEntry entry;
    ASSERT_TRUE(readSimulatedEntry(QStringLiteral("Hemma"), entry));
    EXPECT_EQ(entry.phoneNumber, QStringLiteral("0771-1000"));
    EXPECT_EQ(entry.userName, QStringLiteral("åke"));
    EXPECT_EQ(entry.password, QStringLiteral("lösen"));
}

TEST_F(EntryDialogTest, CancelChangesNothing)
{
    answerDialog({"Hemma", "", "", ""}, false);
    EXPECT_EQ(dialUp.CreateEntry(), int(ErrorCancelled));
    EXPECT_TRUE(simulatedEntryNames().isEmpty());
}

TEST_F(EntryDialogTest, EditEntryChangesAndRenames)
{
    SimulatedEntry original;
    original.name = QStringLiteral("Jobbet");
    original.phoneNumber = QStringLiteral("1");
    writeSimulatedEntry(original);
    dialUp.SetEntry(QStringLiteral("Jobbet"));
    answerDialog({"Kontoret", "2", "eva", ""}, true);
    ASSERT_EQ(dialUp.EditEntry(), 0);
    EXPECT_EQ(simulatedEntryNames(), QStringList{QStringLiteral("Kontoret")});
    SimulatedEntry edited;
    ASSERT_TRUE(readSimulatedEntry(QStringLiteral("Kontoret"), edited));
    EXPECT_EQ(edited.phoneNumber, QStringLiteral("2"));
    EXPECT_EQ(edited.userName, QStringLiteral("eva"));
}

TEST_F(EntryDialogTest, EditOfAMissingEntryOpensNothing)
{
    dialUp.SetEntry(QStringLiteral("Saknas"));
    EXPECT_EQ(dialUp.EditEntry(), int(ErrorCannotFindPhonebookEntry));
}

TEST_F(EntryDialogTest, AnEntryThatExistsIsNotOverwritten)
{
    SimulatedEntry existing;
    existing.name = QStringLiteral("Hemma");
    existing.phoneNumber = QStringLiteral("kvar");
    writeSimulatedEntry(existing);
    answerDialog({"Hemma", "ny", "", ""}, true);
    EXPECT_EQ(dialUp.CreateEntry(), int(ErrorAlreadyExists));
    SimulatedEntry kept;
    ASSERT_TRUE(readSimulatedEntry(QStringLiteral("Hemma"), kept));
    EXPECT_EQ(kept.phoneNumber, QStringLiteral("kvar"));
}

} // namespace
