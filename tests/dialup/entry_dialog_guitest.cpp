// The provider's own entry dialog, opened by CreateEntry and EditEntry where no system
// connection editor exists (the simulated modem always uses it). The test fills in the
// modal dialog from a timer, as a user would.
#include "dialup/tdialup.h"

#include "platform/codepage.h"
#include "platform/ras_simulated_phonebook.h"

#include "entry_dialog_answer.h"

#include <gtest/gtest.h>

using namespace dialup;
using namespace platform::ras;

namespace {

class EntryDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { qputenv("TELLVARA_RAS_BACKEND", "simulated"); }
    TDialUp dialUp;
};

TEST_F(EntryDialogTest, CreateEntryWritesWhatWasTyped)
{
    const auto seen = answerEntryDialog({"Hemma", "0771-1000", "åke", "lösen"}, true);
    ASSERT_EQ(dialUp.CreateEntry(), 0);
    EXPECT_EQ(seen->title, QStringLiteral("New dial-up entry"));
    EXPECT_TRUE(seen->offered.name.isEmpty());
    SimulatedEntry entry;
    ASSERT_TRUE(readSimulatedEntry(QStringLiteral("Hemma"), entry, PasswordReading::Read));
    EXPECT_EQ(entry.phoneNumber, QStringLiteral("0771-1000"));
    EXPECT_EQ(entry.userName, QStringLiteral("åke"));
    EXPECT_EQ(platform::fromAnsi(entry.password.data(), qsizetype(entry.password.size())), QStringLiteral("lösen"));
}

TEST_F(EntryDialogTest, CancelChangesNothing)
{
    answerEntryDialog({"Hemma", "", "", ""}, false);
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
    const auto seen = answerEntryDialog({"Kontoret", "2", "eva", ""}, true);
    ASSERT_EQ(dialUp.EditEntry(), 0);
    EXPECT_EQ(seen->title, QStringLiteral("Dial-up entry Jobbet"));
    EXPECT_EQ(seen->offered.name, QStringLiteral("Jobbet"));
    EXPECT_EQ(seen->offered.phone, QStringLiteral("1"));
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
    answerEntryDialog({"Hemma", "ny", "", ""}, true);
    EXPECT_EQ(dialUp.CreateEntry(), int(ErrorAlreadyExists));
    SimulatedEntry kept;
    ASSERT_TRUE(readSimulatedEntry(QStringLiteral("Hemma"), kept));
    EXPECT_EQ(kept.phoneNumber, QStringLiteral("kvar"));
}

} // namespace
