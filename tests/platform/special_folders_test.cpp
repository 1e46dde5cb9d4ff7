#include "platform/special_folders.h"

#include "test_env.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using platform::SpecialFolder;

// Sets an environment variable for one row; nullptr unsets it.
void setVariable(const char *name, const char *value)
{
    if (value)
        qputenv(name, value);
    else
        qunsetenv(name);
}

TEST(SpecialFolders, MachineWideFoldersLieBelowTheSystemRoot)
{
    const QString root = testenv::root() + "/system";
    EXPECT_EQ(platform::systemRoot(), root + "/");
    EXPECT_EQ(platform::specialFolder(SpecialFolder::Windows), root + "/etc/");
    EXPECT_EQ(platform::specialFolder(SpecialFolder::CommonFiles), root + "/var/lib/tellvara/common-files/");
}

TEST(SpecialFolders, TheSystemRootDefaultsToSlashAndResolvesRelativeNames)
{
    const QString work = testenv::freshDir("work");
    QDir().mkpath(work + "/trial");
    ASSERT_TRUE(QDir::setCurrent(work));
    const struct
    {
        const char *value;
        QString expected;
    } cases[] = {
        {nullptr, "/"},
        {"", "/"},
        {"trial", work + "/trial/"},
        {"trial/", work + "/trial/"},
        {"/no/such/root", QString()},
    };
    for (const auto &c : cases) {
        setVariable("TELLVARA_ROOT", c.value);
        EXPECT_EQ(platform::systemRoot(), c.expected) << (c.value ? c.value : "(unset)");
        EXPECT_EQ(platform::specialFolder(SpecialFolder::Windows), c.expected.isEmpty() ? QString() : c.expected + "etc/");
    }
}

TEST(SpecialFolders, PerUserFoldersFollowTheXdgVariables)
{
    const QString home = testenv::root() + "/home";
    const struct
    {
        const char *xdgDataHome;
        const char *tmpDir;
        QString appData;
        QString temp;
    } cases[] = {
        {"/data/x", "/scratch", "/data/x/", "/scratch/"},
        {"/data/x/", "/scratch/", "/data/x/", "/scratch/"},
        {nullptr, nullptr, home + "/.local/share/", "/tmp/"},
        {"relative/data", "relative/tmp", home + "/.local/share/", "/tmp/"}, // ignored, as XDG says
    };
    for (const auto &c : cases) {
        setVariable("XDG_DATA_HOME", c.xdgDataHome);
        setVariable("TMPDIR", c.tmpDir);
        EXPECT_EQ(platform::specialFolder(SpecialFolder::AppData), c.appData);
        EXPECT_EQ(platform::specialFolder(SpecialFolder::Temp), c.temp);
    }
}

TEST(SpecialFolders, TheSystemFolderHoldsTheSslLibrary)
{
    const QString system = platform::specialFolder(SpecialFolder::System);
    ASSERT_TRUE(system.endsWith('/')) << qPrintable(system);
    EXPECT_TRUE(QFileInfo(system).isAbsolute());
    EXPECT_EQ(QFileInfo(system).canonicalFilePath() + "/", system);
    EXPECT_TRUE(QFileInfo::exists(system + "libssl.so.3")) << qPrintable(system);
}

TEST(SpecialFolders, TellvaraSystemDirChoosesTheSystemFolder)
{
    const QString chosen = testenv::freshDir("libs");
    qputenv("TELLVARA_SYSTEM_DIR", chosen.toLocal8Bit());
    EXPECT_EQ(platform::specialFolder(SpecialFolder::System), chosen + "/");
    qputenv("TELLVARA_SYSTEM_DIR", "/no/such/folder");
    EXPECT_EQ(platform::specialFolder(SpecialFolder::System), QString());
}

} // namespace
