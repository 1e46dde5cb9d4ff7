// Reads arbitrary bytes as a data-link file with the INI reader, both from memory and
// through the file the way ReadIniValue is called. A crash, a sanitizer report, a value
// longer than the limit, or two answers that differ only by the letter case of the
// names asked for are findings; a damaged file must simply read as a missing key.
#include "suite/ini_reader.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString inputFile()
{
    static const QString name = QDir::tempPath() + QStringLiteral("/ini-fuzz-%1.udl").arg(getpid());
    return name;
}

void check(bool holds)
{
    if (!holds)
        std::abort();
}

void readFromMemory(const QByteArray &bytes)
{
    const std::optional<QString> text = suite::DecodeIniText(bytes);
    if (!text)
        return;
    const QString value = suite::FindIniValue(*text, QStringLiteral("oledb"), QStringLiteral("Provider"));
    check(value == suite::FindIniValue(*text, QStringLiteral("OLEDB"), QStringLiteral("provider")));
    // A name taken from the text itself: the first line's section, whatever it holds.
    const QString firstLine = text->section(u'\n', 0, 0);
    suite::FindIniValue(*text, firstLine.mid(1, firstLine.indexOf(u']') - 1), firstLine);
}

void readFromFile(const QByteArray &bytes)
{
    QFile file(inputFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return;
    file.close();
    const QString value = suite::ReadIniValue(inputFile(), QStringLiteral("oledb"), QStringLiteral("Provider"));
    check(value.size() <= suite::IniValueMaxLength);
    const std::optional<QString> text = suite::DecodeIniText(bytes);
    check(text || value.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    readFromMemory(bytes);
    readFromFile(bytes);
    return 0;
}
