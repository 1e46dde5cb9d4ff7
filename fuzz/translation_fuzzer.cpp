// Uses arbitrary bytes as the language file: the first line is a text to translate, the
// whole input the file's contents (ANSI, lines "source;translation" ending CR LF). The
// file is loaded, fixed texts and the first line are looked up, and the texts it lacks are
// appended and the file loaded again, as the suite does. A crash or a sanitizer report is
// a finding.
#include "suite/translate.h"

#include "platform/codepage.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <unistd.h>

namespace {

QString languageFile()
{
    static const QString name = QDir::tempPath() + QStringLiteral("/language-fuzz-%1.txt").arg(getpid());
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QFile file(languageFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return 0;
    file.close();
    suite::LanguageFileActive = true;
    if (!suite::LoadLanguageFile(languageFile()))
        return 0;
    const qsizetype lineEnd = bytes.indexOf('\n');
    const QString firstLine = platform::fromAnsi(lineEnd < 0 ? bytes : bytes.left(lineEnd));
    for (const QString &text : {QStringLiteral("Avbryt"), QStringLiteral("12"), QStringLiteral(":"), firstLine})
        suite::TranslateText(text);
    return 0;
}
