#include "service/listen_addresses.h"

#include <QHostInfo>

namespace service {

QList<QHostAddress> listenAddresses(const QString &machineName)
{
    QList<QHostAddress> addresses{QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)};
    for (const QHostAddress &address : QHostInfo::fromName(machineName).addresses()) {
        // A wildcard would take the port from every other address.
        if (!addresses.contains(address) && address != QHostAddress::AnyIPv4 && address != QHostAddress::AnyIPv6)
            addresses.append(address);
    }
    return addresses;
}

} // namespace service
