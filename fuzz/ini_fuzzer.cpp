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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString value = suite::IniValueOf(bytes, QStringLiteral("oledb"), QStringLiteral("Provider"));
    check(value.size() <= suite::IniValueMaxLength);
    const std::optional<QString> text = suite::DecodeIniText(bytes);
    if (!text) {
        check(value.isEmpty());
        return 0;
    }
    const QString found = suite::FindIniValue(*text, QStringLiteral("oledb"), QStringLiteral("Provider"));
    check(found.startsWith(value));
    check(found == suite::FindIniValue(*text, QStringLiteral("OLEDB"), QStringLiteral("provider")));
    // A name taken from the text itself: the first line's section, whatever it holds.
    const QString firstLine = text->left(text->indexOf(u'\n'));
    suite::FindIniValue(*text, firstLine.mid(1, firstLine.indexOf(u']') - 1), firstLine);
    suite::DecodesFaithfully(bytes);
    return 0;
}
