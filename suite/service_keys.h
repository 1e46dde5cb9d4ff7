#pragma once
// The service's registry layout under HKEY_LOCAL_MACHINE: a contract with the Vardo
// service, which reads these keys.
#include <QString>

namespace suite {

inline const QString ServiceKey = QStringLiteral("SOFTWARE\\Tellvara\\Vardo-Service");

inline QString serviceSubKey(const QString &name)
{
    return ServiceKey + QLatin1Char('\\') + name;
}

} // namespace suite
