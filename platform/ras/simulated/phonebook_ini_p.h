#pragma once
// The phonebook's INI text, read and written without QSettings, whose cache would keep
// every password of the file for the rest of the process. The bytes are those QSettings
// reads and writes (sections and keys escaped with %XX and %UXXXX, values UTF-8, quoted
// when they hold ',', ';' or '=' or begin or end with a space, C escapes), so phonebooks
// written before stay readable and any reader of the INI format sees the same entries.
//
// The text lives in a wiped buffer; values come out one character at a time, so a
// password can go straight into another wiped buffer.
#include "platform/secret_buffer.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <string_view>

namespace platform::ras::ini {

// A section of the text: its name and where it lies, header line included. The format
// keeps keys outside any group in "[General]" (topLevel) and writes a group of that name
// as "[%General]".
struct Section
{
    QString name;
    std::size_t begin = 0;
    std::size_t end = 0;
    bool topLevel = false;
};

QList<Section> sections(std::string_view text);

// The value of key as written, in the last section named name that has it.
std::optional<std::string_view> rawValue(std::string_view text, const QString &name, std::string_view key);

// The characters of a value as written.
void unescapeValue(std::string_view raw, const std::function<void(char32_t)> &each);
QString valueText(std::string_view raw);

void appendSectionHeader(SecretBuffer &out, QStringView name);
void appendKeyValue(SecretBuffer &out, std::string_view key, QStringView value);

} // namespace platform::ras::ini
