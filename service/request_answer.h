#pragma once
// The service's HTTP answers. A request is "GET /=COMMAND,NAME=VALUE,..." with the target
// encoded as the console's probe encodes it (net/url_encoding.h) and decoded with its
// inverse. COMMAND is the text between "/=" and the first ",". Get_Version answers
// "OK:" + the version, Get_Loggdir "OK:" + the log folder, both in the ANSI code page in
// which the console reads them; any other target is 404, another method 405, a malformed
// request line 400. Every answer closes the connection.
#include <QByteArray>
#include <QString>

namespace service {

struct ServiceIdentity
{
    QString version;
    QString logFolder;
};

struct HttpAnswer
{
    int status = 200;
    QString command; // the command asked for, "" when none could be read (for the log)

    QByteArray body;
    QByteArray toBytes() const; // status line, headers and body
};

// The answer to a complete request head (request line and header lines).
HttpAnswer answerRequest(const QByteArray &head, const ServiceIdentity &identity);

// An answer without a request: 408 when the client was too slow, 431 for a head over the
// size limit, 503 when the service has too many connections.
HttpAnswer plainAnswer(int status);

} // namespace service
