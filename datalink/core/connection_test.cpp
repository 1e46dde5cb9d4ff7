#include "datalink/core/connection_test.h"

#include "platform/database.h"
#include "platform/error.h"

#include <QtConcurrent/QtConcurrentRun>

namespace datalink {

ConnectionTestResult testConnection(const QString &connectionString)
{
    try {
        platform::DatabaseConnection connection;
        connection.open(connectionString);
        connection.close();
        return {true, QString()};
    } catch (const std::exception &e) {
        return {false, platform::messageOf(e)};
    }
}

ConnectionTester::ConnectionTester(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcher<ConnectionTestResult>::finished, this,
            [this] { emit finished(m_watcher.result()); });
}

ConnectionTester::~ConnectionTester()
{
    // The worker holds nothing of this object; waiting keeps the process from ending
    // with a driver still inside a connect.
    m_watcher.waitForFinished();
}

void ConnectionTester::start(const QString &connectionString)
{
    if (isRunning())
        return;
    m_watcher.setFuture(QtConcurrent::run(testConnection, connectionString));
}

} // namespace datalink
