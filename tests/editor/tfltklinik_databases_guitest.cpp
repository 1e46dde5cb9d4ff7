// "Öppna" of the organisation editor against the same practice data through unixODBC's
// SQLite3 driver and on a PostgreSQL server the test starts itself.
#include "editor/widgets/tfltklinik.h"

#include "odbc_environment.h"
#include "platform/testing/recording_presenter.h"
#include "postgres_server.h"
#include "qstring_printer.h"
#include "sqlite_file.h"
#include "suite/data_link_file.h"
#include "suite/paths.h"
#include "test_env.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

const QStringList SampleRows = {"5561234567", "5569876543", "5561234567", " "};
const QStringList SampleNumbers = {"5561234567", "5569876543"};

class EditorOnDatabases : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite::InitPaths({QStringLiteral("vardo-admin")});
        ASSERT_TRUE(QDir().mkpath(suite::DataLinkPath()));
        qputenv("TELLVARA_TRUST_BUNDLE", "");
    }

    // Writes a data link with the connection string, then presses "Öppna" on it.
    void openWith(const QString &connectionString)
    {
        suite::WriteDataLinkFile(suite::DataLinkPath() + "Praktik.udl", connectionString);
        dialog = std::make_unique<editor::TFLTKlinik>();
        dialog->ComboBox1->setEditText("Praktik.udl");
        QElapsedTimer clock;
        clock.start();
        dialog->BitBtn1->click();
        openingMs = clock.elapsed();
    }

    QStringList sortedEntries() const
    {
        QStringList entries;
        for (int i = 0; i < dialog->OrganisationsNrComboBox->count(); ++i)
            entries.append(dialog->OrganisationsNrComboBox->itemText(i));
        entries.sort();
        return entries;
    }

    // The one box "Öppna" showed about a connection that failed.
    QString connectionFailure() const
    {
        EXPECT_EQ(presenter.boxes().size(), 1);
        if (presenter.boxes().isEmpty())
            return {};
        const QString text = presenter.boxes().first().text;
        EXPECT_TRUE(text.startsWith("Det gick inte att öppna databasanslutningen!\r\r")) << text.toStdString();
        EXPECT_FALSE(dialog->isConnected());
        return text;
    }

    platform::testing::RecordingPresenter presenter;
    std::unique_ptr<editor::TFLTKlinik> dialog;
    qint64 openingMs = 0;
};

TEST_F(EditorOnDatabases, ThroughTheOdbcSqliteDriver)
{
    testenv::OdbcEnvironment odbc;
    if (!odbc.hasDriver("SQLite3"))
        GTEST_SKIP() << "unixODBC's SQLite3 driver is not installed (package libsqliteodbc)";
    const QString database = testenv::createSqliteTrklinik(testenv::root() + "/praktik.db", SampleRows);
    openWith("Provider=MSDASQL;Driver=SQLite3;Database=" + database);
    EXPECT_TRUE(presenter.boxes().isEmpty()) << presenter.boxes().first().text.toStdString();
    EXPECT_EQ(sortedEntries(), SampleNumbers);
    EXPECT_TRUE(dialog->isConnected());
}

class EditorOnPostgres : public EditorOnDatabases
{
protected:
    void SetUp() override
    {
        EditorOnDatabases::SetUp();
        QString reason = testenv::PostgresServer::unavailableReason();
        if (reason.isEmpty() && !QSqlDatabase::isDriverAvailable("QPSQL"))
            reason = "Qt's PostgreSQL driver is not installed (package libqt6sql6-psql)";
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        server.start();
    }

    testenv::PostgresServer server;
};

TEST_F(EditorOnPostgres, FillsTheOrganisationNumbers)
{
    openWith(server.createDatabaseWithTrklinik(SampleRows));
    EXPECT_TRUE(presenter.boxes().isEmpty()) << presenter.boxes().first().text.toStdString();
    EXPECT_EQ(sortedEntries(), SampleNumbers);
    EXPECT_TRUE(dialog->isConnected());
}

TEST_F(EditorOnPostgres, AMissingTableIsNamed)
{
    server.createDatabaseWithTrklinik(SampleRows);
    server.runSql("praktik", "DROP TABLE TRKLINIK");
    openWith(server.connectionString("praktik"));
    ASSERT_EQ(presenter.boxes().size(), 1);
    const QString text = presenter.boxes().first().text;
    EXPECT_TRUE(text.startsWith("Det gick inte att öppna tabellen TRKLINIK!\r\r")) << text.toStdString();
    EXPECT_TRUE(text.contains("trklinik", Qt::CaseInsensitive));
    EXPECT_TRUE(dialog->isConnected());
}

TEST_F(EditorOnPostgres, AWrongPasswordIsNamedWithoutThePassword)
{
    const QString good = server.createDatabaseWithTrklinik(SampleRows);
    QString bad = good;
    bad.replace(server.password(), "fel-lösen-42");
    ASSERT_NE(bad, good);
    openWith(bad);
    const QString text = connectionFailure();
    EXPECT_TRUE(text.contains("password", Qt::CaseInsensitive) || text.contains("login", Qt::CaseInsensitive))
        << text.toStdString();
    EXPECT_FALSE(text.contains("fel-lösen-42")) << text.toStdString();
    EXPECT_LT(openingMs, 15000);
}

TEST(EditorOnPostgresDown, AServerThatIsDownIsNamedWithinTheLimit)
{
    if (!QSqlDatabase::isDriverAvailable("QPSQL"))
        GTEST_SKIP() << "Qt's PostgreSQL driver is not installed (package libqt6sql6-psql)";
    platform::testing::RecordingPresenter presenter;
    suite::InitPaths({QStringLiteral("vardo-admin")});
    ASSERT_TRUE(QDir().mkpath(suite::DataLinkPath()));
    QTcpServer probe; // a port that was free a moment ago and has nobody listening now
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int port = probe.serverPort();
    probe.close();
    suite::WriteDataLinkFile(suite::DataLinkPath() + "Nere.udl",
                             QString("Provider=PostgreSQL;Data Source=127.0.0.1:%1;Location=praktik;"
                                     "User ID=vardo;Password=hemligt-7")
                                 .arg(port));
    editor::TFLTKlinik dialog;
    dialog.ComboBox1->setEditText("Nere.udl");
    dialog.BitBtn1->click();
    ASSERT_EQ(presenter.boxes().size(), 1);
    const QString text = presenter.boxes().first().text;
    EXPECT_TRUE(text.startsWith("Det gick inte att öppna databasanslutningen!\r\r")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString("127.0.0.1:%1").arg(port))) << text.toStdString();
    EXPECT_FALSE(text.contains("hemligt-7"));
    EXPECT_FALSE(dialog.isConnected());
}

} // namespace
