// Reading and writing string values and the per-installation settings.
#include "suite/registry.h"

#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

using suite::RegistryRoot;

const RegistryRoot Machine = RegistryRoot::LocalMachine;
const RegistryRoot User = RegistryRoot::CurrentUser;

QString machineDir()
{
    return qEnvironmentVariable("TELLVARA_ROOT") + "/etc/tellvara/registry";
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

// Stores a value past the write limits, as another program could.
void storeDirectly(RegistryRoot root, const QString &path, const QString &name, const QString &text)
{
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_TRUE(platform::registryStore().createKey(root, path, platform::KeyCreation::Default, key).ok());
    ASSERT_TRUE(key->setValue(name, text).ok());
}

TEST(Registry, KeyAndValueNamesCompareWithoutLetterCase)
{
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort", "8080"));
    struct Case
    {
        QString path;
        QString name;
    };
    const Case cases[] = {
        {"SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort"},
        {"software\\tellvara\\vardo-service\\port\\", "tcpipport"},
        {"SOFTWARE\\TELLVARA\\VARDO-SERVICE\\PORT\\", "TCPIPPORT"},
        {"Software\\Tellvara\\Vardo-service\\Port", "TCPipPort"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(suite::ReadRegistryString(Machine, c.path, c.name), "8080") << c.path.toStdString();
    EXPECT_EQ(suite::ReadRegistryString(User, "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort"), "");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Tellvara\\Vardo-Service\\Port\\\\", "TcpIPPort"), "");

    ASSERT_TRUE(suite::WriteRegistryString(Machine, "software\\tellvara\\vardo-service\\port\\", "TCPIPPORT", "9090"));
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort"), "9090");
}

TEST(Registry, AbsentKeysAndValuesReadEmpty)
{
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Absent", "Value"), "");
    ASSERT_TRUE(suite::WriteRegistryString(User, "SOFTWARE\\Present", "Other", "x"));
    EXPECT_EQ(suite::ReadRegistryString(User, "SOFTWARE\\Present", "Value"), "");
    EXPECT_EQ(suite::ReadRegistryString(User, "\\SOFTWARE\\Present", "Other"), "");
}

TEST(Registry, ReadLimitsCountUtf16Units)
{
    const QString limit(1024, u'a');
    const QString astral = QString(511, u'x') + QString::fromUtf16(u"\U0001F600"); // 513 units
    storeDirectly(Machine, "Limits", "Exact", limit);
    storeDirectly(Machine, "Limits", "Over", limit + "b");
    storeDirectly(Machine, "Limits", "Pairs", astral + astral);
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Limits", "Exact"), limit);
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Limits", "Over"), "");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Limits", "Pairs"), ""); // 1026 units

    const QString longName(1025, u'n');
    storeDirectly(Machine, "Limits", longName, "x");
    storeDirectly(Machine, "Limits", longName.left(1024), "y");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Limits", longName), "");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Limits", longName.left(1024)), "y");
    const QString longPath = "Limits\\" + QString(1018, u'p');
    storeDirectly(Machine, longPath, "v", "x");
    EXPECT_EQ(suite::ReadRegistryString(Machine, longPath, "v"), "");
    const QString exactPath = longPath.left(1024);
    storeDirectly(Machine, exactPath, "v", "y");
    EXPECT_EQ(suite::ReadRegistryString(Machine, exactPath, "v"), "y");
}

TEST(Registry, WriteLimitsRefuseMoreThan1024)
{
    const QString limit(1024, u'a');
    EXPECT_TRUE(suite::WriteRegistryString(Machine, "Limits", "Text", limit));
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Limits", "Text"), limit);
    EXPECT_FALSE(suite::WriteRegistryString(Machine, "Limits", "Text", limit + "b"));
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Limits", "Text"), limit);
    EXPECT_FALSE(suite::WriteRegistryString(Machine, "Limits", QString(1025, u'n'), "x"));
    EXPECT_TRUE(suite::WriteRegistryString(Machine, "Limits", QString(1024, u'n'), "x"));
    EXPECT_FALSE(suite::WriteRegistryString(Machine, "Limits\\" + QString(1018, u'p'), "v", "x"));
    EXPECT_TRUE(suite::LastRegistryWriteFailure().contains("1024"));
    EXPECT_TRUE(suite::WriteRegistryString(Machine, "Limits\\" + QString(1017, u'p'), "v", "x"));
    EXPECT_EQ(suite::LastRegistryError(), ""); // no key creation failed
}

TEST(Registry, EmptyTextAndDefaultValue)
{
    EXPECT_TRUE(suite::WriteRegistryString(User, "Key", "Empty", ""));
    EXPECT_TRUE(suite::WriteRegistryString(User, "Key", "", "the default"));
    EXPECT_EQ(suite::ReadRegistryString(User, "Key", ""), "the default");
    EXPECT_EQ(suite::ReadRegistryString(User, "key\\", ""), "the default");
    EXPECT_EQ(suite::ReadRegistryString(User, "Key", "Empty"), "");
    std::unique_ptr<platform::RegistryKey> key;
    ASSERT_TRUE(platform::registryStore().openKey(User, "Key", platform::RegistryAccess::Read, key).ok());
    QString text = "not read";
    EXPECT_TRUE(key->queryValue("Empty", 2, text).ok()); // the NUL alone
    EXPECT_EQ(text, "");
}

TEST(Registry, TextsKeepEveryCharacter)
{
    const QString texts[] = {QString::fromUtf16(u"Åtkomst nekad – ä ö"), QString::fromUtf16(u"\U0001F600"),
                             " leading and trailing ", "C:\\Program Files\\Tellvara\\", "a\r\nb"};
    for (const QString &text : texts) {
        ASSERT_TRUE(suite::WriteRegistryString(User, "Texts", "v", text));
        EXPECT_EQ(suite::ReadRegistryString(User, "Texts", "v"), text);
    }
}

TEST(Registry, AFailedKeyCreationIsExplained)
{
    EXPECT_EQ(suite::LastRegistryError(), "");
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE\\Tellvara", "v", "1"));
    testenv::writeFile(machineDir() + "/software/tellvara/blocked", "a file where a key should be");
    EXPECT_FALSE(suite::WriteRegistryString(Machine, "SOFTWARE\\Tellvara\\Blocked\\Key", "v", "1"));
    EXPECT_EQ(suite::LastRegistryError(), systemText(ENOTDIR));
    EXPECT_EQ(suite::LastRegistryWriteFailure(), systemText(ENOTDIR));

    // A failed value store leaves the text alone.
    QDir().mkpath(machineDir() + "/software/tellvara/v2.v");
    EXPECT_FALSE(suite::WriteRegistryString(Machine, "SOFTWARE\\Tellvara", "V2", "1"));
    EXPECT_EQ(suite::LastRegistryError(), systemText(ENOTDIR));
    EXPECT_EQ(suite::LastRegistryWriteFailure(), systemText(EISDIR));

    EXPECT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE\\Tellvara", "v", "2"));
    EXPECT_EQ(suite::LastRegistryError(), systemText(ENOTDIR));
    EXPECT_EQ(suite::LastRegistryWriteFailure(), "");
}

TEST(Registry, InstallKeyEndsInABackslash)
{
    EXPECT_EQ(suite::InstallKey(), "");
    suite::SetInstallKey("VardoAdmin");
    EXPECT_EQ(suite::InstallKey(), "VardoAdmin\\");
    suite::SetInstallKey("Other\\");
    EXPECT_EQ(suite::InstallKey(), "Other\\");
}

TEST(Registry, ReadSuiteSettingPrefersAUserCopyThatIsNotBlank)
{
    suite::SetInstallKey("Inst\\");
    const QString key = "SOFTWARE\\Tellvara\\Inst\\DataProvider";
    struct Case
    {
        const char *user; // nullptr: absent
        const char *machine;
        QString expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, "ERROR"},
        {" \t\r\n", "x", "x"},
        {" y ", "x", " y "},
        {"", "x", "x"},
        {nullptr, "x", "x"},
        {"\x01 ", "  ", "ERROR"},
        {"u", nullptr, "u"},
    };
    for (const Case &c : cases) {
        suite::DeleteRegistryKey(User, key);
        suite::DeleteRegistryKey(Machine, key);
        if (c.user) {
            ASSERT_TRUE(suite::WriteRegistryString(User, key, "DefaultDataProvider", c.user));
        }
        if (c.machine) {
            ASSERT_TRUE(suite::WriteRegistryString(Machine, key, "DefaultDataProvider", c.machine));
        }
        EXPECT_EQ(suite::ReadSuiteSetting("DataProvider", "DefaultDataProvider"), c.expected)
            << (c.user ? c.user : "-") << " / " << (c.machine ? c.machine : "-");
    }
}

TEST(Registry, WriteSuiteSettingWritesBothCopies)
{
    suite::SetInstallKey("Inst");
    suite::WriteSuiteSetting("ProxySettings", "Username", "anna");
    EXPECT_EQ(suite::ReadRegistryString(User, "SOFTWARE\\Tellvara\\Inst\\ProxySettings", "Username"), "anna");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Tellvara\\Inst\\ProxySettings", "Username"), "anna");
    EXPECT_EQ(suite::ReadRegistryString(User, "SOFTWARE\\Tellvara\\ERROR_WRITING_TO_LOCAL_MACHINE", "ErrorMsg"), "");
}

TEST(Registry, WriteSuiteSettingNotesAFailedMachineCopy)
{
    suite::SetInstallKey("Inst\\");
    QDir().mkpath(machineDir());
    testenv::writeFile(machineDir() + "/software", "a file where a key should be");
    suite::WriteSuiteSetting("Errors", "CannotConnectToSSL", "1");
    EXPECT_EQ(suite::ReadRegistryString(User, "SOFTWARE\\Tellvara\\Inst\\Errors", "CannotConnectToSSL"), "1");
    EXPECT_EQ(suite::ReadRegistryString(User, "SOFTWARE\\Tellvara\\ERROR_WRITING_TO_LOCAL_MACHINE", "ErrorMsg"),
              systemText(ENOTDIR));
    EXPECT_EQ(suite::ReadSuiteSetting("Errors", "CannotConnectToSSL"), "1");
}

} // namespace
