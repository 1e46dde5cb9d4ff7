// The simulated modem's phonebook holds passwords in clear: its folder and files stay the
// user's alone whatever the umask, also when they existed readable by others before. It is
// read and written without QSettings, in the bytes QSettings reads and writes, so old
// phonebooks stay readable and other readers of the INI format see the same entries.
#include "platform/codepage.h"
#include "platform/ras_simulated_phonebook.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSettings>

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

struct TextCase
{
    const char *label;
    QString name;
    QString text;
};

// Names and texts that need every kind of escape QSettings uses.
const QList<TextCase> &textCases()
{
    static const QList<TextCase> cases{
        {"plain", QStringLiteral("Exempel"), QStringLiteral("0771-123456")},
        {"Swedish letters", QStringLiteral("Företag"), QStringLiteral("åke och Östen")},
        {"outside Latin-1", QStringLiteral("Ωmega €"), QStringLiteral("€ 5")},
        {"separators", QStringLiteral("a b;c"), QStringLiteral("x,y;z=w")},
        {"quotes and backslashes", QStringLiteral("q\\\"r"), QStringLiteral("sa \"hej\" \\ då")},
        {"spaces at the ends", QStringLiteral(" kant "), QStringLiteral("  två  ")},
        {"at sign first", QStringLiteral("@snabel"), QStringLiteral("@Variant(x)")},
        {"at sign and separators", QStringLiteral("@, och"), QStringLiteral("@ a,b")},
        {"at signs only", QStringLiteral("@@"), QStringLiteral("@@")},
        {"controls", QStringLiteral("tab"), QStringLiteral("a\tb\nc\x01" "f1")},
        {"the top-level name", QStringLiteral("General"), QStringLiteral("allmänt")},
        {"the top-level name escaped", QStringLiteral("%General"), QStringLiteral("procent")},
        {"empty", QStringLiteral("tom"), QString()},
    };
    return cases;
}

QString passwordText(const SimulatedEntry &entry)
{
    return platform::fromAnsi(entry.password.data(), qsizetype(entry.password.size()));
}

TEST(SimulatedPhonebookFormat, ReadsWhatQSettingsWrote)
{
    {
        QSettings file(simulatedPhonebookFile(), QSettings::IniFormat);
        for (const TextCase &c : textCases()) {
            file.beginGroup(c.name);
            file.setValue(QStringLiteral("PhoneNumber"), c.text);
            file.setValue(QStringLiteral("UserName"), c.text);
            file.setValue(QStringLiteral("Password"), c.text);
            file.setValue(QStringLiteral("States"), QStringLiteral("0,1,8192"));
            file.setValue(QStringLiteral("StepDelayMs"), 7);
            file.setValue(QStringLiteral("Error"), 676u);
            file.endGroup();
        }
    }
    QStringList names;
    for (const TextCase &c : textCases())
        names << c.name;
    names.sort();
    EXPECT_EQ(simulatedEntryNames(), names);
    for (const TextCase &c : textCases()) {
        SimulatedEntry entry;
        ASSERT_TRUE(readSimulatedEntry(c.name, entry, PasswordReading::Read)) << c.label;
        EXPECT_EQ(entry.phoneNumber, c.text) << c.label;
        EXPECT_EQ(entry.userName, c.text) << c.label;
        // Passwords live in the ANSI code page, as in the dial records.
        EXPECT_EQ(passwordText(entry), platform::fromAnsi(platform::toAnsi(c.text))) << c.label;
        EXPECT_EQ(entry.states, (QList<Dword>{0, 1, 8192})) << c.label;
        EXPECT_EQ(entry.stepDelayMs, 7) << c.label;
        EXPECT_EQ(entry.error, 676u) << c.label;
    }
}

TEST(SimulatedPhonebookFormat, QSettingsReadsWhatIsWritten)
{
    for (const TextCase &c : textCases()) {
        SimulatedEntry entry;
        entry.name = c.name;
        entry.phoneNumber = c.text;
        entry.userName = c.text;
        entry.password = platform::toAnsiSecret(c.text);
        entry.states = {0, 1, 8192};
        entry.stepDelayMs = 7;
        entry.error = 676;
        writeSimulatedEntry(entry);
    }
    // A copy under a name of its own, so no cache of an earlier read answers.
    const QString copy = testenv::freshDir(QStringLiteral("format")) + QStringLiteral("/copy.ini");
    ASSERT_TRUE(QFile::copy(simulatedPhonebookFile(), copy));
    QSettings file(copy, QSettings::IniFormat);
    QStringList names;
    for (const TextCase &c : textCases())
        names << c.name;
    names.sort();
    QStringList groups = file.childGroups();
    groups.sort();
    EXPECT_EQ(groups, names);
    for (const TextCase &c : textCases()) {
        file.beginGroup(c.name);
        EXPECT_EQ(file.value(QStringLiteral("PhoneNumber")).toString(), c.text) << c.label;
        EXPECT_EQ(file.value(QStringLiteral("UserName")).toString(), c.text) << c.label;
        EXPECT_EQ(file.value(QStringLiteral("Password")).toString(), platform::fromAnsi(platform::toAnsi(c.text))) << c.label;
        EXPECT_EQ(file.value(QStringLiteral("States")).toString(), QStringLiteral("0,1,8192")) << c.label;
        EXPECT_EQ(file.value(QStringLiteral("StepDelayMs")).toInt(), 7) << c.label;
        EXPECT_EQ(file.value(QStringLiteral("Error")).toUInt(), 676u) << c.label;
        file.endGroup();
    }
}

TEST(SimulatedPhonebookFormat, ReplacingAnEntryKeepsTheOthersAsWritten)
{
    const QString phonebook = simulatedPhonebookFile();
    testenv::writeFile(phonebook, "; hand-written\n[Andra]\nPhoneNumber=1\nEget=kvar\n\n[Exempel]\nPhoneNumber=2\n");
    SimulatedEntry entry;
    entry.name = QStringLiteral("Exempel");
    entry.phoneNumber = QStringLiteral("3");
    writeSimulatedEntry(entry);
    const QByteArray text = testenv::readFile(phonebook);
    EXPECT_TRUE(text.startsWith("; hand-written\n[Andra]\nPhoneNumber=1\nEget=kvar\n\n[Exempel]\nPhoneNumber=3\n")) << text.constData();
    removeSimulatedEntry(QStringLiteral("Exempel"));
    EXPECT_EQ(testenv::readFile(phonebook), QByteArray("; hand-written\n[Andra]\nPhoneNumber=1\nEget=kvar\n\n"));
    EXPECT_EQ(simulatedEntryNames(), QStringList{QStringLiteral("Andra")});
}

} // namespace
