#include "suite/translate.h"

#include "platform/codepage.h"
#include "platform/messagebox.h"
#include "suite/dialogs_box.h"
#include "platform/error.h"
#include "suite/translate_integer.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace suite {

bool LanguageFileActive = false;
QString LanguageFileName;

namespace {

// The integer test answers this value for "no number", so the text of it is looked up.
constexpr qint32 NotANumber = -123456789;
constexpr char16_t UntranslatedCharacters[] = u"()-/:=?[]";
constexpr char LineEnd[] = "\r\n";
// A language file holds a few thousand short lines; anything far beyond is not one.
constexpr qint64 MaxLanguageFileSize = 64 * 1024 * 1024;

// The content of the language file last loaded; none until a load succeeds.
std::optional<QByteArray> languageText;

bool passesUntranslated(const QString &text)
{
    const std::optional<qint32> number = detail::readInteger(text);
    if (number && *number != NotANumber)
        return true;
    return text.size() == 1 && QStringView(UntranslatedCharacters).contains(text.front());
}

// The translation of an entry "text;translation": everything after the first ";" from
// the start of the entry up to the next CR LF; empty when no CR LF follows.
std::optional<QString> lookUp(const QString &text)
{
    if (!languageText)
        return std::nullopt;
    const QByteArrayView content(*languageText);
    const qsizetype at = content.indexOf(platform::toAnsi(QLatin1String(LineEnd) + text + QLatin1Char(';')));
    if (at < 0)
        return std::nullopt;
    const qsizetype start = content.indexOf(';', at) + 1;
    const qsizetype end = content.indexOf(QByteArrayView(LineEnd), start);
    if (end < 0)
        return QString();
    return platform::fromAnsi(content.data() + start, end - start);
}

bool isLanguageFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QByteArray readLanguageFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Error(QStringLiteral("The language file %1 could not be read: %2").arg(path, file.errorString()));
    if (file.size() > MaxLanguageFileSize)
        throw platform::Error(QStringLiteral("The language file %1 is too large.").arg(path));
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw platform::Error(QStringLiteral("The language file %1 could not be read: %2").arg(path, file.errorString()));
    return content;
}

// A last line without its line break would swallow the appended entry and spoil the
// translation of the entry on it.
bool endsInsideLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return false;
    file.seek(qMax<qint64>(0, file.size() - 2));
    return file.read(2) != LineEnd;
}

bool appendEntry(const QString &path, const QString &text)
{
    QByteArray line = platform::toAnsi(text + QLatin1Char(';') + text) + LineEnd;
    if (endsInsideLine(path))
        line.prepend(LineEnd);
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(line) == line.size() && file.flush();
}

void showLanguageFileMissing(const QString &caption)
{
    platform::MessageBox box =
        platform::standardBox(platform::BoxKind::Error, QStringLiteral("The language file could not be found!"));
    box.title = caption;
    detail::showBox(box);
}

} // namespace

QString TranslateText(const QString &text)
{
    if (passesUntranslated(text) || !LanguageFileActive)
        return text;
    try {
        if (const std::optional<QString> translation = lookUp(text))
            return *translation;
        AddMissingText(text);
    } catch (...) {
        // Translation never stops a message from being shown.
    }
    return text;
}

bool LoadLanguageFile(const QString &path)
{
    languageText.reset();
    if (!isLanguageFile(path))
        return false;
    LanguageFileName = path;
    languageText = readLanguageFile(path);
    return true;
}

void AddMissingText(const QString &text)
{
    try {
        if (!isLanguageFile(LanguageFileName)) {
            showLanguageFileMissing(QStringLiteral("Error"));
            return;
        }
        if (appendEntry(LanguageFileName, text) && !LoadLanguageFile(LanguageFileName))
            showLanguageFileMissing(QStringLiteral("Error in "));
    } catch (...) {
        // A locked, read-only or full file leaves the language file as it was.
    }
}

} // namespace suite
