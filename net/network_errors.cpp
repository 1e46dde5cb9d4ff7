#include "net/network_errors.h"

#include "net/hook_calls.h"

namespace net {

bool ReportNetworkErrors = false;

void ReportNetworkError(const QString &text)
{
    if (ReportNetworkErrors)
        ShowHookMessage(text);
}

void ReportDialUpNotConnected(const QString &entry, const QString &errorMessage)
{
    ReportNetworkError(Translate(QStringLiteral("An error occurred while connecting to the Internet using the "))
                       + entry + Translate(QStringLiteral(" connection!")) + QStringLiteral("\r\r")
                       + errorMessage);
}

} // namespace net
