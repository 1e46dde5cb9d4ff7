#pragma once
// The suite's record of the database connection in use, and the price-list type the
// service is asked about. This program fills neither: the record stays empty and the
// type stays "1", but the probe sends both.
#include <QString>

namespace net {

struct TDBConnection
{
    QString Databasename;
    QString ServerName;
    QString Username;
    QString Password;
    QString SQLProcessID;
};

extern TDBConnection DBConnection;
extern QString PrislisteTyp;

} // namespace net
