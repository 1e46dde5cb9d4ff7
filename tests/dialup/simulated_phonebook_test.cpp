// The simulated modem's phonebook holds passwords in clear: its folder and files stay the
// user's alone whatever the umask, also when they existed readable by others before.
#include "platform/codepage.h"
#include "platform/ras_simulated_phonebook.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

using namespace platform::ras;

constexpr auto PrivateFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                               | QFile::WriteUser | QFile::ExeUser;
constexpr auto PrivateFile = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;

class SimulatedPhonebookUnderOpenUmask : public ::testing::Test
{
protected:
    void SetUp() override { m_previous = ::umask(0); }
    void TearDown() override { ::umask(m_previous); }

    static void writeEntryWithPassword()
    {
        SimulatedEntry entry;
        entry.name = QStringLiteral("Exempel");
        entry.password = platform::toAnsiSecret(u"hemligt");
        writeSimulatedEntry(entry);
    }

    static void expectPrivate()
    {
        const QString phonebook = simulatedPhonebookFile();
        const QString folder = QFileInfo(phonebook).absolutePath();
        EXPECT_EQ(QFile::permissions(folder), PrivateFolder);
        EXPECT_EQ(QFile::permissions(phonebook), PrivateFile);
        writeSimulatedConnection(QStringLiteral("k"), QStringLiteral("Exempel"), 1);
        EXPECT_EQ(QFile::permissions(folder + "/dialup-connections.ini"), PrivateFile);
    }

private:
    mode_t m_previous = 0;
};

TEST_F(SimulatedPhonebookUnderOpenUmask, NewFolderAndFilesAreTheUsersAlone)
{
    writeEntryWithPassword();
    expectPrivate();
}

TEST_F(SimulatedPhonebookUnderOpenUmask, ExistingOpenFolderAndFileAreClosed)
{
    const QString phonebook = simulatedPhonebookFile();
    testenv::writeFile(phonebook, "[Gammal]\nPassword=x\n");
    testenv::writeFile(QFileInfo(phonebook).absolutePath() + "/dialup-connections.ini", "");
    const auto everyone = QFile::Permissions(0x7777);
    QFile::setPermissions(QFileInfo(phonebook).absolutePath(), everyone);
    QFile::setPermissions(phonebook, everyone);
    QFile::setPermissions(QFileInfo(phonebook).absolutePath() + "/dialup-connections.ini", everyone);
    writeEntryWithPassword();
    expectPrivate();
}

} // namespace
