#pragma once
// What the HTTP transfer window shows, driven by the progress events of its components.
// The window itself only mirrors this state (caption, status line, progress bar,
// visibility), so the rules run without a display.
#include <QObject>
#include <QString>

namespace net {

struct TransferWindowState
{
    QString caption;
    QString status = QStringLiteral("Ansluter till databasen, vänta...");
    qint64 maximum = 100;
    qint64 position = 0;
    bool visible = false;
};

class TransferProgress : public QObject
{
    Q_OBJECT
public:
    explicit TransferProgress(QObject *parent = nullptr);

    const TransferWindowState &state() const { return m_state; }

    // The plain clients VardoHTTP and IdHTTPTellvara.
    void VardoHTTPWorkBegin(qint64 expectedTotal);
    void VardoHTTPWork(qint64 countSoFar);
    void VardoHTTPWorkEnd();

    // The secure client HTTP1.
    void HTTP1WorkBegin(qint64 expectedTotal);
    void HTTP1Work(qint64 countSoFar);
    void HTTP1WorkEnd();

    // The archive component ZLB1.
    void ZLB1Progress(const QString &message, int percentage);

signals:
    void changed();

private:
    void begin(const QString &caption, qint64 expectedTotal);

    TransferWindowState m_state;
};

} // namespace net
