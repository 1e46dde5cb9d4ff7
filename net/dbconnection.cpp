#include "net/dbconnection.h"

namespace net {

TDBConnection DBConnection;
QString PrislisteTyp = QStringLiteral("1");

} // namespace net
