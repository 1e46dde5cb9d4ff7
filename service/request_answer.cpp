#include "service/request_answer.h"

#include "net/url_encoding.h"
#include "platform/codepage.h"

#include <optional>

namespace service {
namespace {

const QString GetVersion = QStringLiteral("Get_Version");
const QString GetLoggdir = QStringLiteral("Get_Loggdir");

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

struct RequestLine
{
    QByteArray method;
    QByteArray target;
};

// "METHOD TARGET HTTP/x.y"; a target with raw blanks is taken whole.
std::optional<RequestLine> parseRequestLine(const QByteArray &head)
{
    qsizetype end = head.indexOf('\n');
    const QByteArray line = (end < 0 ? head : head.left(end)).trimmed();
    const qsizetype firstBlank = line.indexOf(' ');
    const qsizetype lastBlank = line.lastIndexOf(' ');
    if (firstBlank <= 0 || lastBlank <= firstBlank || !line.mid(lastBlank + 1).startsWith("HTTP/"))
        return std::nullopt;
    const QByteArray target = line.mid(firstBlank + 1, lastBlank - firstBlank - 1).trimmed();
    if (target.isEmpty())
        return std::nullopt;
    return RequestLine{line.left(firstBlank), target};
}

// An absolute target ("http://host:port/...") names the same resource as its path.
QByteArray pathOf(const QByteArray &target)
{
    const qsizetype scheme = target.indexOf("://");
    if (target.startsWith('/') || scheme < 0)
        return target;
    const qsizetype path = target.indexOf('/', scheme + 3);
    return path < 0 ? QByteArray("/") : target.mid(path);
}

QString commandOf(const QString &path)
{
    if (!path.startsWith(QLatin1String("/=")))
        return {};
    return path.mid(2).section(QLatin1Char(','), 0, 0);
}

HttpAnswer answer(int status, const QString &command, const QByteArray &body)
{
    return HttpAnswer{status, command, body};
}

} // namespace

QByteArray HttpAnswer::toBytes() const
{
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    bytes += "Content-Type: text/plain\r\n"; // in the ANSI code page, as the console reads it
    bytes += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (status == 405)
        bytes += "Allow: GET\r\n";
    bytes += "Connection: close\r\n\r\n";
    return bytes + body;
}

HttpAnswer answerRequest(const QByteArray &head, const ServiceIdentity &identity)
{
    const std::optional<RequestLine> request = parseRequestLine(head);
    if (!request)
        return plainAnswer(400);
    if (request->method != "GET")
        return plainAnswer(405);
    const QString command = commandOf(net::decodeRequestTarget(pathOf(request->target)));
    if (command == GetVersion)
        return answer(200, command, platform::toAnsi(QStringLiteral("OK:") + identity.version));
    if (command == GetLoggdir)
        return answer(200, command, platform::toAnsi(QStringLiteral("OK:") + identity.logFolder));
    return answer(404, command, "Not found\n");
}

HttpAnswer plainAnswer(int status)
{
    return answer(status, {}, reasonPhrase(status) + '\n');
}

} // namespace service
