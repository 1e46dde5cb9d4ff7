// Reads arbitrary bytes as a data-link file with the INI reader, in memory: the bytes go
// through the same decoding and look-up ReadIniValue applies once it has read the file
// (reading the file itself is the folder-file code's, fuzzed by nothing here: it only
// bounds and copies). A crash, a sanitizer report, a value longer than the limit, or two
// answers that differ only by the letter case of the names asked for are findings; a
// damaged file must simply read as a missing key.
#include "suite/ini_reader.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

void readText(const QByteArray &bytes)
{
    const std::optional<QString> text = suite::DecodeIniText(bytes);
    if (!text)
        return;
    const QString value = suite::FindIniValue(*text, QStringLiteral("oledb"), QStringLiteral("Provider"));
    check(value == suite::FindIniValue(*text, QStringLiteral("OLEDB"), QStringLiteral("provider")));
    // A name taken from the text itself: the first line's section, whatever it holds.
    const QString firstLine = text->section(u'\n', 0, 0);
    suite::FindIniValue(*text, firstLine.mid(1, firstLine.indexOf(u']') - 1), firstLine);
    suite::DecodesFaithfully(bytes);
}

void readValue(const QByteArray &bytes)
{
    const QString value = suite::IniValueOf(bytes, QStringLiteral("oledb"), QStringLiteral("Provider"));
    check(value.size() <= suite::IniValueMaxLength);
    check(suite::DecodeIniText(bytes) || value.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    readText(bytes);
    readValue(bytes);
    return 0;
}
