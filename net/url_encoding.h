#pragma once
// How a URL travels in an HTTP request line. Characters that may stand raw in a path
// (letters, digits, "-._~", "!$&'()*+,;=", ":", "@" and "/") go as they are, so the
// service's comma-separated "name=value" parameters stay readable on the wire; every other
// character (blank, control characters, "#", "?", "%", quotes, backslash, brackets,
// non-ASCII, ...) is percent-encoded from its UTF-8 bytes. So is a "/" that begins a "."
// or ".." segment, which HTTP libraries (Qt among them) would otherwise resolve away and
// so change a folder in the connection string. The service decodes the request target
// with decodeRequestTarget, the exact inverse.
#include <QByteArray>
#include <QString>

namespace net {

// The URL text as it is put on the wire.
QByteArray encodeRequestUrl(const QString &url);

// Turns every "%XX" (two hexadecimal digits) into its byte and reads the result as UTF-8;
// a "%" not followed by two hexadecimal digits stays as it is.
QString decodeRequestTarget(const QByteArray &target);

} // namespace net
