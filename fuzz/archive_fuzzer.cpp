// Opens arbitrary bytes as a ZLB archive and extracts every entry to memory. Anything
// but a suite::Error (a crash, a sanitizer report, another exception) is a finding.
#include "archive/zlbarchive.h"
#include "suite/error.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <unistd.h>

namespace {

QString inputFile()
{
    static const QString name = QDir::tempPath() + QStringLiteral("/zlb-fuzz-%1.zlb").arg(getpid());
    return name;
}

void extractAll(archive::TZLBArchive &zlb)
{
    for (int i = 0; i < zlb.FileCount(); ++i) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        try {
            zlb.ExtractStreamByIndex(out, i);
        } catch (const suite::Error &) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QFile::remove(inputFile());
    QFile file(inputFile());
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    file.close();
    archive::TZLBArchive zlb;
    zlb.SetCheckCRC(true);
    zlb.OnProgress = [](const QString &, int percent) {
        if (percent < 0 || percent > 100)
            __builtin_trap();
    };
    try {
        if (zlb.OpenArchive(inputFile()))
            extractAll(zlb);
    } catch (const suite::Error &) {
    }
    return 0;
}
