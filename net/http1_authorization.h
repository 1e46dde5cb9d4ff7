#pragma once
// How the secure client HTTP1 answers authentication challenges: a server's with the
// suite's fixed account, a proxy's with the per-installation "ProxySettings".
class QAuthenticator;

namespace net {

void HTTP1Authorization(QAuthenticator *authenticator, bool &handled);
void HTTP1ProxyAuthorization(QAuthenticator *authenticator, bool &handled);

} // namespace net
