#include "net/transfer_progress.h"

#include "net/hook_calls.h"

namespace net {

TransferProgress::TransferProgress(QObject *parent)
    : QObject(parent)
{
}

void TransferProgress::begin(const QString &caption, qint64 expectedTotal)
{
    m_state.caption = Translate(caption);
    m_state.position = 0;
    m_state.maximum = expectedTotal;
    m_state.visible = true;
}

void TransferProgress::VardoHTTPWorkBegin(qint64 expectedTotal)
{
    begin(QStringLiteral("Tellvara nerladdning"), expectedTotal);
    m_state.status = Translate(QStringLiteral("Kommunicerar med Tellvara AB, vänta..."));
    emit changed();
}

void TransferProgress::VardoHTTPWork(qint64 countSoFar)
{
    if (m_state.maximum <= 0)
        return;
    m_state.position = countSoFar;
    emit changed();
}

void TransferProgress::VardoHTTPWorkEnd()
{
    m_state.visible = false;
    emit changed();
}

void TransferProgress::HTTP1WorkBegin(qint64 expectedTotal)
{
    begin(QStringLiteral("Internet connection"), expectedTotal);
    if (expectedTotal > 0) {
        m_state.status = Translate(QStringLiteral("Transfering: ")) + QString::number(expectedTotal)
                         + Translate(QStringLiteral(" bytes, please wait..."));
    }
    emit changed();
}

void TransferProgress::HTTP1Work(qint64 countSoFar)
{
    if (m_state.maximum <= 0) {
        m_state.status = QString::number(countSoFar) + Translate(QStringLiteral(" bytes."));
    } else {
        m_state.status = QString::number(countSoFar) + Translate(QStringLiteral(" bytes of "))
                         + QString::number(m_state.maximum) + Translate(QStringLiteral(" bytes."));
        m_state.position = countSoFar;
    }
    emit changed();
}

void TransferProgress::HTTP1WorkEnd()
{
    m_state.status = Translate(QStringLiteral("Work done!"));
    m_state.visible = false;
    emit changed();
}

void TransferProgress::ZLB1Progress(const QString &message, int percentage)
{
    Q_UNUSED(message) // the archive's message is not shown, only its percentage
    m_state.position = percentage;
    if (percentage > 98)
        m_state.visible = false;
    emit changed();
}

} // namespace net
