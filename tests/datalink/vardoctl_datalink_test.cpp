// "vardoctl datalink": the built program, run against this test's private root.
#include "datalink_test_support.h"
#include "qstring_printer.h"
#include "suite/data_link_file.h"
#include "suite/data_providers.h"
#include "suite/ini_reader.h"
#include "suite/paths.h"
#include "suite/registry.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

datalinktest::ProgramRun vardoctl(const QStringList &args)
{
    return datalinktest::runBuiltProgram("vardoctl", QStringList{"datalink"} + args);
}

class VardoctlDataLink : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // vardoctl runs in this process's current folder, which names the installation's settings.
        suite::InitPaths({"vardoctl"});
        links = suite::DataLinkPath();
        ASSERT_TRUE(QDir().mkpath(links));
    }

    QString links;
};

TEST_F(VardoctlDataLink, ListsTheRowsOfTheDialogWithTheDefaultMarked)
{
    for (const char *name : {"b.udl", "A.udl", "c.udl"})
        suite::WriteDataLinkFile(links + name, "Provider=SQLite;Data Source=/x.db");
    suite::WriteSuiteSetting("DataProvider", "DefaultDataProvider", "/elsewhere/B.UDL");
    const datalinktest::ProgramRun run = vardoctl({"list"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.out, "  A.udl\n* b.udl\n  c.udl\n");
}

TEST_F(VardoctlDataLink, DefaultStoresTheListedName)
{
    suite::WriteDataLinkFile(links + "Praktik.udl", "Provider=SQLite;Data Source=/x.db");
    const datalinktest::ProgramRun run = vardoctl({"default", "praktik.udl"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(suite::ReadSuiteSetting("DataProvider", "DefaultDataProvider"), "Praktik.udl");

    const datalinktest::ProgramRun missing = vardoctl({"default", "gone.udl"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("gone.udl")) << qPrintable(missing.err);
    EXPECT_EQ(suite::ReadSuiteSetting("DataProvider", "DefaultDataProvider"), "Praktik.udl");
}

TEST_F(VardoctlDataLink, NewWritesTheEditorsFormatAndNeverReplacesADataLink)
{
    const datalinktest::ProgramRun run = vardoctl({"new", "Praktik", "--provider", "sqlserver", "--data-source", "db,1433",
                                     "--database", "Vardo", "--user", "sa", "--driver", "FreeTDS"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.out, links + "Praktik.udl\n");
    EXPECT_EQ(suite::ConnectionStringOf(links + "Praktik.udl"),
              "Provider=SQLOLEDB;Data Source=db,1433;Initial Catalog=Vardo;Driver=FreeTDS;User ID=sa");

    const QByteArray before = testenv::readFile(links + "Praktik.udl");
    const datalinktest::ProgramRun again = vardoctl({"new", "Praktik", "--provider", "sqlite", "--data-source", "/x.db"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains("exists")) << qPrintable(again.err);
    EXPECT_EQ(testenv::readFile(links + "Praktik.udl"), before);
}

TEST_F(VardoctlDataLink, NewRefusesNamesOutsideTheFolderAndOptionsTheKindHasNot)
{
    const datalinktest::ProgramRun outside = vardoctl({"new", "../escape", "--provider", "sqlite", "--data-source", "/x.db"});
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(links).dir().filePath("escape.udl")));
    const QList<QStringList> usageErrors = {
        {"new", "x", "--data-source", "/x.db"},
        {"new", "x", "--provider", "oracle", "--data-source", "a"},
        {"new", "x", "--provider", "sqlite", "--dsn", "Praktik"},
        {"new", "x", "--provider", "sqlite", "--database"},
        {"new", "x", "--provider", "postgresql", "--color", "red"},
        {"list", "extra"},
        {"frobnicate"},
    };
    for (const QStringList &args : usageErrors) {
        const datalinktest::ProgramRun run = vardoctl(args);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(run.err.contains("vardoctl datalink new NAME")) << qPrintable(run.err);
    }
    EXPECT_FALSE(QFileInfo::exists(links + "x.udl"));
}

TEST_F(VardoctlDataLink, ShowMasksThePassword)
{
    suite::WriteDataLinkFile(links + "p.udl", "Provider=PostgreSQL;Data Source=localhost;Location=v;User ID=u;"
                                              "Password=hemligt;Persist Security Info=True");
    for (const QString &file : {QString("p.udl"), links + "p.udl"}) {
        const datalinktest::ProgramRun run = vardoctl({"show", file});
        EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
        EXPECT_EQ(run.out, "Provider=PostgreSQL;Data Source=localhost;Location=v;User ID=u;"
                           "Password=********;Persist Security Info=True\n");
        EXPECT_FALSE(run.out.contains("hemligt"));
    }
    const datalinktest::ProgramRun missing = vardoctl({"show", "none.udl"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("none.udl")) << qPrintable(missing.err);
}

TEST_F(VardoctlDataLink, ShowAndPathsMaskBracedPasswordsInsideExtendedProperties)
{
    const QString connection = "Provider=MSDASQL;Extended Properties=\"DSN=x;PWD={se;cr}}et1};UID=u\"";
    suite::WriteDataLinkFile(links + "odbc.udl", connection);
    const datalinktest::ProgramRun show = vardoctl({"show", "odbc.udl"});
    EXPECT_EQ(show.exitCode, 0) << qPrintable(show.err);
    EXPECT_EQ(show.out, "Provider=MSDASQL;Extended Properties=\"DSN=x;PWD=********;UID=u\"\n");
    const datalinktest::ProgramRun paths = datalinktest::runBuiltProgram("vardoctl", {"paths", links + "odbc.udl"});
    EXPECT_EQ(paths.exitCode, 0) << qPrintable(paths.err);
    EXPECT_TRUE(paths.out.contains("DefaultConnectionString=Provider=MSDASQL;Extended Properties=\"DSN=x;PWD=********;"))
        << qPrintable(paths.out);
    for (const datalinktest::ProgramRun &run : {show, paths}) {
        EXPECT_FALSE(run.out.contains("cr") || run.out.contains("et1")) << qPrintable(run.out);
    }
}

TEST_F(VardoctlDataLink, NewRefusesANameTooLongToSaveAndAcceptsTheLongestThatSaves)
{
    const QString longest = QString(suite::DataLinkNameMaxBytes / 2, u'å') + "x";
    ASSERT_EQ(QFile::encodeName(longest).size(), suite::DataLinkNameMaxBytes);
    const datalinktest::ProgramRun ok = vardoctl({"new", longest, "--provider", "sqlite", "--data-source", "/x.db"});
    EXPECT_EQ(ok.exitCode, 0) << qPrintable(ok.err);
    EXPECT_EQ(suite::ConnectionStringOf(links + longest + ".udl"), "Provider=SQLite;Data Source=/x.db");
    const datalinktest::ProgramRun tooLong =
        vardoctl({"new", longest + "y", "--provider", "sqlite", "--data-source", "/x.db"});
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_TRUE(tooLong.err.contains("at most 251 bytes")) << qPrintable(tooLong.err);
    EXPECT_EQ(QDir(links).entryList(QDir::Files | QDir::Hidden), QStringList{longest + ".udl"});
}

TEST_F(VardoctlDataLink, NewRefusesAConnectionStringTheReaderWouldCut)
{
    const datalinktest::ProgramRun run =
        vardoctl({"new", "lång", "--provider", "sqlite", "--data-source", "/" + QString(300, u'x') + ".db"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("at most 255")) << qPrintable(run.err);
    EXPECT_FALSE(run.out.contains("lång.udl"));
    EXPECT_FALSE(QFileInfo::exists(links + "lång.udl"));
}

TEST_F(VardoctlDataLink, ShowRefusesALinkAndAFifo)
{
    const QString outside = testenv::freshDir("outside") + "/real.udl";
    suite::WriteDataLinkFile(outside, "Provider=SQLite;Data Source=/x.db");
    ASSERT_TRUE(QFile::link(outside, links + "link.udl"));
    ASSERT_EQ(QProcess::execute("mkfifo", {links + "fifo.udl"}), 0);
    for (const char *name : {"link.udl", "fifo.udl"}) {
        const datalinktest::ProgramRun run = vardoctl({"show", QString::fromLatin1(name)});
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_TRUE(run.err.contains(links + QString::fromLatin1(name))) << qPrintable(run.err);
    }
}

} // namespace
