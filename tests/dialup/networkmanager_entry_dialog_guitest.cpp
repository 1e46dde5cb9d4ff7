// New and changed NetworkManager entries through the provider's own entry dialog, used
// where nm-connection-editor is not installed.
#include "dialup/tdialup.h"

#include "entry_dialog_answer.h"
#include "networkmanager_mock.h"

#include <gtest/gtest.h>

using namespace dialup;
using namespace platform::ras;

namespace {

// No connection editor can be found on an empty PATH.
void hideConnectionEditor()
{
    const QString empty = testenv::freshDir(QStringLiteral("empty-path"));
    qputenv("PATH", empty.toUtf8());
}

TEST(NetworkManagerEntryDialog, CreateEntryAddsAMobileConnection)
{
    nmtest::NetworkManagerMock nm;
    hideConnectionEditor();
    TDialUp dialUp;
    answerEntryDialog({"Hemma", "*99#", "åsa", "lösen"}, true);
    ASSERT_EQ(dialUp.CreateEntry(), 0);
    ASSERT_EQ(dialUp.GetEntries(), 0);
    EXPECT_TRUE(dialUp.Entries().contains(QStringLiteral("Hemma")));
    dialUp.SetEntry(QStringLiteral("Hemma"));
    QString user;
    ASSERT_EQ(dialUp.GetEntryUserName(user), 0);
    EXPECT_EQ(user, QStringLiteral("åsa"));
}

TEST(NetworkManagerEntryDialog, CreateRefusesANameInUse)
{
    nmtest::NetworkManagerMock nm;
    hideConnectionEditor();
    TDialUp dialUp;
    answerEntryDialog({"Mobilt", "", "", ""}, true);
    EXPECT_EQ(dialUp.CreateEntry(), int(ErrorAlreadyExists));
}

TEST(NetworkManagerEntryDialog, EditEntryOffersTheConnectionAndWritesItBack)
{
    nmtest::NetworkManagerMock nm;
    hideConnectionEditor();
    TDialUp dialUp;
    dialUp.SetEntry(QStringLiteral("Mobilt"));
    const auto seen = answerEntryDialog({"Mobilt 2", "*98#", "olle", "nytt"}, true);
    ASSERT_EQ(dialUp.EditEntry(), 0);
    EXPECT_EQ(seen->offered.name, QStringLiteral("Mobilt"));
    EXPECT_EQ(seen->offered.phone, QStringLiteral("*99#"));
    EXPECT_EQ(seen->offered.user, QStringLiteral("kalle"));
    EXPECT_EQ(seen->offered.password, QStringLiteral("hemligt"));

    ASSERT_EQ(dialUp.GetEntries(), 0);
    EXPECT_EQ(dialUp.Entries(), (QStringList{"Mobilt 2", "Bredband", "Telefon"}));
    dialUp.SetEntry(QStringLiteral("Mobilt 2"));
    QString user;
    QString password;
    ASSERT_EQ(dialUp.GetEntryUserName(user), 0);
    ASSERT_EQ(dialUp.GetEntryPassword(password), 0);
    EXPECT_EQ(user, QStringLiteral("olle"));
    EXPECT_EQ(password, QStringLiteral("nytt"));
}

TEST(NetworkManagerEntryDialog, CancelLeavesTheConnection)
{
    nmtest::NetworkManagerMock nm;
    hideConnectionEditor();
    TDialUp dialUp;
    dialUp.SetEntry(QStringLiteral("Bredband"));
    answerEntryDialog({"Annat", "", "", ""}, false);
    EXPECT_EQ(dialUp.EditEntry(), int(ErrorCancelled));
    ASSERT_EQ(dialUp.GetEntries(), 0);
    EXPECT_TRUE(dialUp.Entries().contains(QStringLiteral("Bredband")));
}

} // namespace
