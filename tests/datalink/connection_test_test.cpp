#include "datalink/core/connection_test.h"

#include "sqlite_file.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

namespace {

TEST(ConnectionTest, ARealSQLiteFileConnects)
{
    const QString file = testenv::createSqliteTrklinik(testenv::freshDir("db") + "/praktik.db", {"5560000001"});
    const datalink::ConnectionTestResult result = datalink::testConnection("Provider=SQLite;Data Source=" + file);
    EXPECT_TRUE(result.succeeded) << qPrintable(result.message);
    EXPECT_EQ(result.message, "");
}

TEST(ConnectionTest, AMissingFileGivesTheDriversMessage)
{
    const QString file = testenv::root() + "/no such.db";
    const datalink::ConnectionTestResult result = datalink::testConnection("Provider=SQLite;Data Source=" + file);
    EXPECT_FALSE(result.succeeded);
    EXPECT_TRUE(result.message.contains(file)) << qPrintable(result.message);
}

TEST(ConnectionTest, AnUnknownProviderIsAnError)
{
    const datalink::ConnectionTestResult result = datalink::testConnection("Provider=Jet;Data Source=x.mdb");
    EXPECT_FALSE(result.succeeded);
    EXPECT_TRUE(result.message.contains("Jet")) << qPrintable(result.message);
}

// The tester runs the connection on a worker thread and reports on the caller's thread.
TEST(ConnectionTester, ReportsOnTheOwnersThreadWhileItsLoopRuns)
{
    const QString good = testenv::createSqliteTrklinik(testenv::freshDir("db") + "/praktik.db", {"1"});
    datalink::ConnectionTester tester;
    QList<datalink::ConnectionTestResult> results;
    QObject::connect(&tester, &datalink::ConnectionTester::finished, [&](const datalink::ConnectionTestResult &r) {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        results << r;
    });
    for (const QString &file : {good, testenv::root() + "/missing.db"}) {
        tester.start("Provider=SQLite;Data Source=" + file);
        EXPECT_TRUE(tester.isRunning() || !results.isEmpty());
        const int wanted = results.size() + 1;
        const QDeadlineTimer deadline(20000);
        while (results.size() < wanted && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        ASSERT_EQ(results.size(), wanted);
    }
    EXPECT_TRUE(results.at(0).succeeded) << qPrintable(results.at(0).message);
    EXPECT_FALSE(results.at(1).succeeded);
}

} // namespace
