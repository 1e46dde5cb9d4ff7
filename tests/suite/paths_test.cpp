#include "suite/paths.h"

#include "suite/data_link_file.h"
#include "platform/error.h"
#include "suite/registry.h"
#include "test_env.h"

#include <QDir>
#include <QFileInfo>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace {

class InitPathsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite::ResetPaths();
        work = testenv::freshDir("work dir");
        ASSERT_TRUE(QDir::setCurrent(work));
        links = suite::DataLinkFolder();
        ASSERT_TRUE(QDir().mkpath(links));
    }

    // The per-installation setting of this working folder.
    void setDefaultDataProvider(const QString &value)
    {
        suite::SetInstallKey(suite::InstallKeyOf(work + "/"));
        suite::WriteSuiteSetting("DataProvider", "DefaultDataProvider", value);
    }

    static void writeDataLink(const QString &path, const QString &provider)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        suite::WriteDataLinkFile(path, "Provider=" + provider);
    }

    static void init(const QStringList &arguments = {})
    {
        suite::InitPaths(QStringList{"vardo-admin"} + arguments);
    }

    QString work;
    QString links;
};

TEST(InstallKeyOf, TurnsTheCurrentDirectoryIntoOneKeyWord)
{
    const struct
    {
        const char *currentPath;
        const char *key;
    } cases[] = {
        {"/home/Admin Tools/Bin/", "_home_Admin_Tools_Bin\\"},
        {"/opt/vardo/", "_opt_vardo\\"},
        {"/", "_\\"}, // never an empty key word
        {"/srv/a:b/", "_srv_ab\\"},
        {"/srv/back\\slash/", "_srv_back_slash\\"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(suite::InstallKeyOf(c.currentPath), QString(c.key)) << c.currentPath;
}

TEST_F(InitPathsTest, FindsTheFoldersOfThisComputer)
{
    EXPECT_TRUE(suite::InitPaths({"vardo-admin"}));
    const QString root = testenv::root();
    EXPECT_EQ(suite::CurrentPath(), work + "/");
    EXPECT_EQ(suite::InstallKey(), suite::InstallKeyOf(work + "/"));
    EXPECT_FALSE(suite::InstallKey().contains(' '));
    EXPECT_EQ(suite::WindowsPath(), root + "/system/etc/");
    EXPECT_TRUE(suite::System32Path().endsWith('/'));
    EXPECT_TRUE(QFileInfo(suite::System32Path()).isDir());
    EXPECT_EQ(suite::DataLinkPath(), root + "/system/var/lib/tellvara/common-files/System/Ole DB/Data Links/");
    EXPECT_EQ(suite::SuitePath(), root + "/home/.local/share/Tellvara/Tellvara Suite/");
    EXPECT_TRUE(QFileInfo(suite::SuitePath()).isDir());
}

TEST_F(InitPathsTest, WithoutSettingOrArgumentsTheDefaultDoesNotExist)
{
    init();
    EXPECT_EQ(suite::DefaultDataProviderFile(), links + "ERROR");
    EXPECT_EQ(suite::DefaultConnectionString(), QString());
    EXPECT_FALSE(suite::NoLogin());
}

TEST_F(InitPathsTest, TheSettingNamesTheDefaultDataLink)
{
    const QString elsewhere = testenv::freshDir("elsewhere") + "/abs.udl";
    writeDataLink(links + "links.udl", "L");
    writeDataLink(links + "both.udl", "L");
    writeDataLink(work + "/both.udl", "C");
    writeDataLink(work + "/sub/rel.udl", "R");
    writeDataLink(elsewhere, "A");
    const struct
    {
        QString setting;
        QString file;
        QString connection;
    } cases[] = {
        {"links.udl", links + "links.udl", "Provider=L"}, // a bare name found in DataLinkPath
        {"both.udl", "both.udl", "Provider=C"},          // the current directory's file, as it stands
        {"sub/rel.udl", "sub/rel.udl", "Provider=R"},
        {elsewhere, elsewhere, "Provider=A"},
        {"missing.udl", links + "missing.udl", QString()},
    };
    for (const auto &c : cases) {
        setDefaultDataProvider(c.setting);
        init();
        EXPECT_EQ(suite::DefaultDataProviderFile(), c.file) << qPrintable(c.setting);
        EXPECT_EQ(suite::DefaultConnectionString(), c.connection) << qPrintable(c.setting);
    }
}

TEST_F(InitPathsTest, CommandLineArguments)
{
    const QString elsewhere = testenv::freshDir("elsewhere") + "/Abs.udl";
    writeDataLink(work + "/Both.Udl", "current");
    writeDataLink(links + "Both.Udl", "links");
    writeDataLink(links + "OnlyLinks.UDL", "only links");
    writeDataLink(elsewhere, "absolute");
    setDefaultDataProvider("OnlyLinks.UDL");
    const QString setting = links + "OnlyLinks.UDL";
    const struct
    {
        QStringList arguments;
        QString file;
        QString connection;
        bool noLogin;
    } cases[] = {
        {{}, setting, "Provider=only links", false},
        {{"Both.Udl"}, "Both.Udl", "Provider=current", false}, // present in both: the current folder's
        {{"OnlyLinks.UDL"}, setting, "Provider=only links", false},
        {{"Missing.udl"}, setting, "Provider=only links", false}, // ignored
        {{"Both.Udl", "Missing.udl"}, "Both.Udl", "Provider=current", false},
        {{"Both.Udl", "OnlyLinks.UDL"}, setting, "Provider=only links", false}, // the later one wins
        {{elsewhere}, elsewhere, "Provider=absolute", false},
        {{"nologin=1"}, setting, "Provider=only links", true},
        {{"--NoLogin=1", "Both.Udl"}, "Both.Udl", "Provider=current", true},
        {{"NOLOGIN=1.udl"}, setting, "Provider=only links", false}, // only a data-link argument
        {{"nologin=0"}, setting, "Provider=only links", false},
    };
    for (const auto &c : cases) {
        init(c.arguments);
        const std::string label = c.arguments.join(' ').toStdString();
        EXPECT_EQ(suite::DefaultDataProviderFile(), c.file) << label;
        EXPECT_EQ(suite::DefaultConnectionString(), c.connection) << label;
        EXPECT_EQ(suite::NoLogin(), c.noLogin) << label;
    }
}

TEST_F(InitPathsTest, TheProgramItselfIsNoArgument)
{
    writeDataLink(work + "/Both.Udl", "current");
    suite::InitPaths({"Both.Udl"});
    EXPECT_EQ(suite::DefaultDataProviderFile(), links + "ERROR");
    suite::InitPaths({"NOLOGIN=1"});
    EXPECT_FALSE(suite::NoLogin());
}

TEST_F(InitPathsTest, TheConnectionStringIsProviderAndTheValueRead)
{
    const QString over255 = QString(300, 'p');
    // Written by another program: this project's writer refuses what the reader would cut.
    testenv::writeFile(work + "/long.udl", ("[oledb]\r\nProvider=" + over255 + "\r\n").toLatin1());
    testenv::writeFile(work + "/no-provider.udl", QByteArray("\xFF\xFE[\0o\0l\0e\0d\0b\0]\0", 16));
    testenv::writeFile(work + "/damaged.udl", QByteArray("\xFF\xFE[\0o\0l\0e\0d\0b\0]", 15));
    const struct
    {
        const char *file;
        QString connection;
    } cases[] = {
        {"long.udl", "Provider=" + over255.left(255)},
        {"no-provider.udl", "Provider="},
        {"damaged.udl", "Provider="},
    };
    for (const auto &c : cases) {
        init({c.file});
        EXPECT_EQ(suite::DefaultDataProviderFile(), c.file);
        EXPECT_EQ(suite::DefaultConnectionString(), c.connection) << c.file;
    }
}

TEST_F(InitPathsTest, ASuiteFolderThatCannotBeMadeIsLeftEmpty)
{
    const QString file = work + "/a-file";
    testenv::writeFile(file, "x");
    qputenv("XDG_DATA_HOME", file.toLocal8Bit());
    EXPECT_NO_THROW(init());
    EXPECT_EQ(suite::SuitePath(), QString());
    EXPECT_EQ(suite::WindowsPath(), testenv::root() + "/system/etc/");
}

struct Snapshot
{
    std::vector<QString> values;

    static Snapshot take()
    {
        return {{suite::CurrentPath(), suite::InstallKey(), suite::WindowsPath(), suite::System32Path(),
                 suite::DataLinkPath(), suite::DefaultDataProviderFile(), suite::DefaultConnectionString(),
                 suite::NoLogin() ? "true" : "false", suite::SuitePath()}};
    }
};

TEST_F(InitPathsTest, AnErrorLeavesTheValuesNotReached)
{
    const QByteArray root = qgetenv("TELLVARA_ROOT");
    const QString otherRoot = testenv::freshDir("other root");
    const QString other = testenv::freshDir("other work");
    writeDataLink(work + "/Both.Udl", "current");
    const struct
    {
        const char *message;
        std::function<void()> breakIt;
        size_t reached; // values set before the error, in the order of Snapshot
    } cases[] = {
        {"Unable to get Current path",
         [] {
             const QString gone = testenv::freshDir("gone");
             QDir::setCurrent(gone);
             QDir().rmdir(gone);
         },
         0},
        {"Unable to get Windows path",
         [&] {
             QDir::setCurrent(other);
             qputenv("TELLVARA_ROOT", "/no/such/root");
         },
         2},
        {"Unable to get System32 path",
         [&] {
             QDir::setCurrent(other);
             qputenv("TELLVARA_ROOT", otherRoot.toLocal8Bit());
             qputenv("TELLVARA_SYSTEM_DIR", "/no/such/libraries");
         },
         3},
    };
    for (const auto &c : cases) {
        qputenv("TELLVARA_ROOT", root);
        qunsetenv("TELLVARA_SYSTEM_DIR");
        ASSERT_TRUE(QDir::setCurrent(work));
        init({"Both.Udl", "nologin=1"});
        const Snapshot before = Snapshot::take();
        c.breakIt();
        try {
            init();
            ADD_FAILURE() << "no error: " << c.message;
        } catch (const platform::Error &e) {
            EXPECT_EQ(e.message(), c.message);
        }
        const Snapshot after = Snapshot::take();
        for (size_t i = 0; i < before.values.size(); ++i) {
            if (i < c.reached)
                EXPECT_NE(after.values[i], before.values[i]) << c.message << " value " << i;
            else
                EXPECT_EQ(after.values[i], before.values[i]) << c.message << " value " << i;
        }
    }
}

TEST_F(InitPathsTest, ResetEmptiesEveryValue)
{
    init({"nologin=1"});
    suite::ResetPaths();
    for (const QString &value : Snapshot::take().values)
        EXPECT_TRUE(value.isEmpty() || value == "false") << qPrintable(value);
}

} // namespace
