#pragma once
// The 8-bit "ANSI" code page of language files, archive names and dial-up texts:
// Windows-1252 unless TELLVARA_ANSI_CODEPAGE names another single-byte code page
// (any name iconv knows, e.g. "CP1251" or "ISO-8859-15").
//
// Every byte decodes to one character: bytes the code page leaves undefined decode to
// the control character of the same number, as Windows does. A character the code page
// cannot hold encodes as "?".
#include "platform/secret_buffer.h"

#include <QByteArray>
#include <QString>

namespace platform {

QByteArray toAnsi(const QString &text);
// For names, where a "?" would name something else: throws Error when a character does
// not fit the code page.
QByteArray toAnsiExactly(const QString &text);
QString fromAnsi(const QByteArray &bytes);
QString fromAnsi(const char *bytes, qsizetype length);
// One character at a time, for secrets that must not pass through a QString: "?" for a
// character the code page cannot hold.
char toAnsiCharacter(char32_t character);
char16_t fromAnsiCharacter(char byte);
// A secret typed as text, in the code page, built in a wiped buffer.
SecretBuffer toAnsiSecret(QStringView text);

// The name of the code page in use (for messages).
QString ansiCodePageName();

// Every program calls this at start-up: throws Error when TELLVARA_ANSI_CODEPAGE names a
// code page iconv does not know or one that is not single-byte (UTF-8, say), rather than
// silently reading every name and text through another one. Conversions in such a process
// use Windows-1252.
void checkAnsiCodePage();

} // namespace platform
