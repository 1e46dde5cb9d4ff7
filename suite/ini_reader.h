#pragma once
// One value from an INI-structured file, the way data-link files are read.
//
// The file is UTF-16 little-endian with a byte-order mark (as the data-link editor writes
// it), UTF-8 with a byte-order mark, or 8-bit text: read as UTF-8 when it is valid UTF-8
// holding at least one byte over 127 (as an editor on Linux writes it), else in the ANSI
// code page. Section and key names match without regard to letter case; the value is the
// text after the first "=" of the key's line, without the blanks around it. Anything that
// is not such a text file (a UTF-16 file with an odd byte count, NUL characters, a file
// over IniFileMaxBytes, a symbolic link or anything but a regular file) reads as if the
// key were missing; the size is checked before a byte is read.
#include <QByteArray>
#include <QString>

#include <optional>

namespace suite {

inline constexpr qsizetype IniValueMaxLength = 255;
inline constexpr qint64 IniFileMaxBytes = 1024 * 1024;

// The value, cut to its first IniValueMaxLength characters; "" when the file, the section
// or the key is missing.
QString ReadIniValue(const QString &fileName, const QString &section, const QString &key);

// The value as ReadIniValue gives it, from a file's bytes already read.
QString IniValueOf(const QByteArray &bytes, const QString &section, const QString &key);

// The text of a file's bytes as ReadIniValue decodes them; nothing when the bytes are no
// INI text (see above).
std::optional<QString> DecodeIniText(const QByteArray &bytes);

// False when decoding loses something: a UTF-8 file with a mark that holds bytes that are
// no UTF-8 (they decode to U+FFFD). Saving such a text again would change the file.
bool DecodesFaithfully(const QByteArray &bytes);

// The value of section/key in an already decoded INI text, uncut.
QString FindIniValue(const QString &text, const QString &section, const QString &key);

} // namespace suite
