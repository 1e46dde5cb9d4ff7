#include "net/http1_authorization.h"

#include "suite/registry.h"

#include <QAuthenticator>

namespace net {

void HTTP1Authorization(QAuthenticator *authenticator, bool &handled)
{
    authenticator->setUser(QStringLiteral("Brandholm"));
    authenticator->setPassword(QStringLiteral("vispalin"));
    handled = true;
}

void HTTP1ProxyAuthorization(QAuthenticator *authenticator, bool &handled)
{
    // An absent setting reads as "ERROR" and is sent as such.
    const QString section = QStringLiteral("ProxySettings");
    authenticator->setUser(suite::ReadSuiteSetting(section, QStringLiteral("Username")));
    authenticator->setPassword(suite::ReadSuiteSetting(section, QStringLiteral("Password")));
    handled = true;
}

} // namespace net
