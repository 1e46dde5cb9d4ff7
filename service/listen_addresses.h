#pragma once
// Where the service listens: loopback first (127.0.0.1, then ::1), then every address the
// machine's name resolves to, each once. The console addresses the service by the
// machine's name; loopback serves local tools and a machine whose name does not resolve.
#include <QHostAddress>
#include <QList>
#include <QString>

namespace service {

QList<QHostAddress> listenAddresses(const QString &machineName);

} // namespace service
