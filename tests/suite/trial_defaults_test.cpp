#include "suite/trial_defaults.h"

#include "platform/error.h"
#include "suite/ini_reader.h"
#include "suite/paths.h"
#include "test_env.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {

QStringList organisationNumbers(const QString &databaseFile)
{
    QStringList numbers;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(databaseFile);
        EXPECT_TRUE(db.open());
        QSqlQuery query("SELECT ORGNR FROM TRKLINIK ORDER BY rowid", db);
        while (query.next())
            numbers << query.value(0).toString();
    }
    QSqlDatabase::removeDatabase("check");
    return numbers;
}

TEST(TrialDefaults, CreatesASampleDatabaseAndItsDataLink)
{
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    const QString root = testenv::root() + "/system/";
    EXPECT_EQ(files.databaseFile, root + "var/lib/tellvara/sample/exempelpraktik.sqlite");
    EXPECT_EQ(files.dataLinkFile, suite::DataLinkFolder() + "Exempelpraktik.udl");
    EXPECT_TRUE(testenv::readFile(files.dataLinkFile).startsWith("\xFF\xFE"));
    EXPECT_EQ(suite::ConnectionStringOf(files.dataLinkFile), "Provider=SQLite;Data Source=" + files.databaseFile);
    EXPECT_EQ(organisationNumbers(files.databaseFile), suite::TrialOrganisationNumbers());
    EXPECT_EQ(suite::TrialOrganisationNumbers().size(), 3);
    EXPECT_FALSE(QFile::exists(files.databaseFile + ".part"));
}

TEST(TrialDefaults, TheDataLinkIsFoundByNameOnTheCommandLine)
{
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    QDir::setCurrent(testenv::freshDir("work"));
    suite::InitPaths({"vardo-admin", QString::fromUtf16(suite::TrialDataLinkName)});
    EXPECT_EQ(suite::DefaultDataProviderFile(), files.dataLinkFile);
    EXPECT_EQ(suite::DefaultConnectionString(), "Provider=SQLite;Data Source=" + files.databaseFile);
}

TEST(TrialDefaults, ExistingFilesAreLeftAsTheyAre)
{
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    testenv::writeFile(files.dataLinkFile, "edited");
    QFile::remove(files.databaseFile);
    suite::EnsureTrialDefaults();
    EXPECT_EQ(testenv::readFile(files.dataLinkFile), QByteArray("edited"));
    EXPECT_EQ(organisationNumbers(files.databaseFile), suite::TrialOrganisationNumbers());
    testenv::writeFile(files.databaseFile, "kept");
    suite::EnsureTrialDefaults();
    EXPECT_EQ(testenv::readFile(files.databaseFile), QByteArray("kept"));
}

TEST(TrialDefaults, ASemicolonInThePathIsQuoted)
{
    const QString root = testenv::freshDir("a;b");
    qputenv("TELLVARA_ROOT", root.toLocal8Bit());
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    EXPECT_EQ(suite::ConnectionStringOf(files.dataLinkFile),
              "Provider=SQLite;Data Source=\"" + files.databaseFile + "\"");
}

TEST(TrialDefaults, AMissingRootIsAnError)
{
    qputenv("TELLVARA_ROOT", "/no/such/root");
    EXPECT_THROW(suite::EnsureTrialDefaults(), platform::Error);
}

TEST(TrialDefaults, AFolderThatCannotBeMadeIsAnError)
{
    testenv::writeFile(testenv::root() + "/system/var/lib/tellvara/sample", "in the way");
    EXPECT_THROW(suite::EnsureTrialDefaults(), platform::Error);
}

} // namespace
