// The organisation numbers of a data link, read as "Öppna" reads them: through the
// function the editor and vardoctl share, and through "vardoctl db query" as a program.
#include "editor/trklinik_query.h"

#include "platform/error.h"
#include "postgres_server.h"
#include "qstring_printer.h"
#include "sqlite_file.h"
#include "suite/data_link_file.h"
#include "suite/paths.h"
#include "suite/trial_defaults.h"
#include "program_run.h"
#include "test_env.h"

#include <QFile>
#include <QSqlDatabase>

#include <gtest/gtest.h>

namespace {

const QStringList SampleNumbers = {"556000-0001", "556000-0019", "802400-0005"};

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

using testenv::ProgramRun;

ProgramRun vardoctl(const QStringList &args, const QString &workDir = testenv::root())
{
    testenv::RunOptions options;
    options.workDir = workDir;
    options.limitMs = 60000;
    return testenv::runProgram(testenv::binDir() + "/vardoctl", args, options);
}

TEST(QueryOrganisationNumbers, ReadsTheTrialDatabaseWithoutDuplicatesOrBlanks)
{
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    EXPECT_EQ(sorted(editor::QueryOrganisationNumbers(files.dataLinkFile)), SampleNumbers);
}

TEST(QueryOrganisationNumbers, TheQueryTextIsTheEditorsTwoLines)
{
    EXPECT_EQ(QString::fromUtf16(editor::TrklinikQueryText), "SELECT DISTINCT ORGNR FROM TRKLINIK\nWHERE ORGNR > ' '");
}

TEST(QueryOrganisationNumbers, ReadsAPostgresqlDatabaseThroughADataLinkFile)
{
    if (const QString reason = testenv::PostgresServer::unavailableReason(); !reason.isEmpty())
        GTEST_SKIP() << reason.toStdString();
    if (!QSqlDatabase::isDriverAvailable("QPSQL"))
        GTEST_SKIP() << "Qt's PostgreSQL driver is not installed (package libqt6sql6-psql)";
    testenv::PostgresServer server;
    server.start();
    const QString link = testenv::root() + "/Praktik (PostgreSQL).udl";
    suite::WriteDataLinkFile(link, server.createDatabaseWithTrklinik({"556000-0001", "", " ", "556000-0001", "802400-0005"}));
    EXPECT_EQ(sorted(editor::QueryOrganisationNumbers(link)), QStringList({"556000-0001", "802400-0005"}));
    EXPECT_EQ(suite::DefaultDataProviderFile(), link); // as "Öppna" leaves it
}

TEST(DbQueryCommand, ABareNameIsFoundInTheDataLinkFolder)
{
    suite::EnsureTrialDefaults();
    const ProgramRun run = vardoctl({"db", "query", "Exempelpraktik.udl"}, testenv::freshDir("elsewhere"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sorted(run.out.split('\n', Qt::SkipEmptyParts)), SampleNumbers);
}

TEST(DbQueryCommand, AFileInTheCurrentFolderComesFirst)
{
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    const QString here = testenv::freshDir("here");
    const QString other = here + "/annan.sqlite";
    QFile::copy(files.databaseFile, other);
    suite::WriteDataLinkFile(here + "/Exempelpraktik.udl", "Provider=SQLite;Data Source=" + other);
    const ProgramRun run = vardoctl({"db", "query", "Exempelpraktik.udl"}, here);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(sorted(run.out.split('\n', Qt::SkipEmptyParts)), SampleNumbers);
    EXPECT_TRUE(QFile::remove(other)); // the copy was the one opened: without it the link fails
    EXPECT_EQ(vardoctl({"db", "query", "Exempelpraktik.udl"}, here).exitCode, 1);
}

TEST(DbQueryCommand, AMissingDataLinkFailsWithAMessage)
{
    suite::EnsureTrialDefaults();
    const ProgramRun run = vardoctl({"db", "query", "Saknas.udl"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("No data link Saknas.udl")) << run.err.toStdString();
    EXPECT_EQ(run.out, "");
}

TEST(DbQueryCommand, AMissingDatabaseFailsAndIsNotCreated)
{
    const QString dir = testenv::freshDir("links");
    const QString database = dir + "/borta.sqlite";
    suite::WriteDataLinkFile(dir + "/Borta.udl", "Provider=SQLite;Data Source=" + database);
    const ProgramRun run = vardoctl({"db", "query", dir + "/Borta.udl"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("The database file " + database + " does not exist")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(database));
}

TEST(DbQueryCommand, ADatabaseWithoutTheTableFailsNamingIt)
{
    const QString dir = testenv::freshDir("links");
    testenv::runSqlite(dir + "/annan.sqlite", "CREATE TABLE PATIENT (ID INTEGER);");
    suite::WriteDataLinkFile(dir + "/Annan.udl", "Provider=SQLite;Data Source=" + dir + "/annan.sqlite");
    const ProgramRun run = vardoctl({"db", "query", dir + "/Annan.udl"});
    EXPECT_EQ(run.exitCode, 1);
    // What the editor's box says, a line break for its "\r\r", and the database's reason.
    EXPECT_TRUE(run.err.startsWith("Det gick inte att öppna tabellen TRKLINIK!\n\n")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("no such table: TRKLINIK")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains('\r'));
}

TEST(DbQueryCommand, AFileThatIsNoDatabaseFails)
{
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    const QString dir = testenv::freshDir("links");
    suite::WriteDataLinkFile(dir + "/Fel.udl", "Provider=SQLite;Data Source=" + files.dataLinkFile);
    const ProgramRun run = vardoctl({"db", "query", dir + "/Fel.udl"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("not a database")) << run.err.toStdString();
}

TEST(DbQueryCommand, WrongArgumentsAreAUsageError)
{
    for (const QStringList &args : {QStringList{"db"}, QStringList{"db", "query"}, QStringList{"db", "list", "x.udl"},
                                    QStringList{"db", "query", "a.udl", "b.udl"}}) {
        const ProgramRun run = vardoctl(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("vardoctl db query DATALINK")) << run.err.toStdString();
    }
}

} // namespace
