#pragma once
// "Testa anslutningen": opens one connection with the data-access layer and reports
// whether it worked, off the user-interface thread so the window keeps answering while a
// server takes its time (at most the layer's connection timeout).
#include <QFutureWatcher>
#include <QObject>
#include <QString>

namespace datalink {

struct ConnectionTestResult
{
    bool succeeded = false;
    QString message; // the driver's error, or "" on success
};

// Opens and closes a connection on the calling thread.
ConnectionTestResult testConnection(const QString &connectionString);

// Runs testConnection on a worker thread and emits finished on the owner's thread.
class ConnectionTester : public QObject
{
    Q_OBJECT

public:
    explicit ConnectionTester(QObject *parent = nullptr);
    ~ConnectionTester() override;

    void start(const QString &connectionString);
    bool isRunning() const { return m_watcher.isRunning(); }

signals:
    void finished(const datalink::ConnectionTestResult &result);

private:
    QFutureWatcher<ConnectionTestResult> m_watcher;
};

} // namespace datalink
