#include "suite/special_folders.h"

#include "test_env.h"

#include <gtest/gtest.h>

namespace {

TEST(SuiteSpecialFolders, FoldersByNumberComeWithoutTrailingSlash)
{
    const QString root = testenv::root();
    const struct
    {
        int number;
        QString path;
    } cases[] = {
        {suite::FolderAppData, root + "/home/.local/share"},
        {suite::FolderWindows, root + "/system/etc"},
        {suite::FolderProgramFilesCommon, root + "/system/var/lib/tellvara/common-files"},
        {0, QString()},
        {0x05, QString()}, // a folder this system does not know
        {-1, QString()},
    };
    for (const auto &c : cases) {
        const suite::SpecialFolderPath folder = suite::GetSpecialFolder(c.number);
        EXPECT_EQ(folder.path, c.path) << c.number;
        EXPECT_EQ(folder.found, !c.path.isEmpty()) << c.number;
    }
    const suite::SpecialFolderPath system = suite::GetSpecialFolder(suite::FolderSystem);
    EXPECT_TRUE(system.found);
    EXPECT_FALSE(system.path.endsWith('/'));
}

TEST(SuiteSpecialFolders, AppDataFolder)
{
    EXPECT_EQ(suite::GetAppDataFolder(), testenv::root() + "/home/.local/share");
    qputenv("XDG_DATA_HOME", "/");
    EXPECT_EQ(suite::GetAppDataFolder(), "/"); // the root keeps its only slash
}

TEST(SuiteSpecialFolders, AFolderThatCannotBeNamedIsNotFound)
{
    qputenv("TELLVARA_ROOT", "/no/such/root");
    const suite::SpecialFolderPath folder = suite::GetSpecialFolder(suite::FolderWindows);
    EXPECT_FALSE(folder.found);
    EXPECT_EQ(folder.path, QString());
}

TEST(SuiteSpecialFolders, MachineNameIsTheWholeHostName)
{
    EXPECT_EQ(suite::GetMachineName(), "localhost");
    qputenv("TELLVARA_MACHINE_NAME", "localhost.localdomain");
    EXPECT_EQ(suite::GetMachineName(), "localhost.localdomain");
}

} // namespace
