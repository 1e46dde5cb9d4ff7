#pragma once
// Network failures that the suite's programs may choose to show. This program never does:
// ReportNetworkErrors stays false, so the reports are dropped.
#include <QString>

namespace net {

extern bool ReportNetworkErrors;

// Passes the text to MessageHook when ReportNetworkErrors is set.
void ReportNetworkError(const QString &text);

// A dial-up connection that could not be made, named by its phonebook entry.
void ReportDialUpNotConnected(const QString &entry, const QString &errorMessage);

} // namespace net
