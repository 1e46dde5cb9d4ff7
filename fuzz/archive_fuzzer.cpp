// Opens arbitrary bytes as a ZLB archive and extracts every entry to memory. Anything
// but a platform::Error (a crash, a sanitizer report, another exception) is a finding.
// Each input is tried twice: as it is, and with its whole-file checksum made valid, since
// almost every mutation would otherwise stop at that checksum and never reach the
// registry or the blocks behind it.
#include "archive/checksum.h"
#include "archive/zlbarchive.h"
#include "platform/error.h"

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
        } catch (const platform::Error &) {
        }
    }
}

QByteArray withValidChecksum(QByteArray bytes)
{
    if (bytes.size() >= archive::layout::ArchiveRecSize) {
        const qsizetype trailer = bytes.size() - archive::layout::ArchiveRecSize;
        archive::TZLBArchiveRec rec = archive::readArchiveRec(bytes.constData() + trailer);
        rec.CRC = archive::crc32Update(0, bytes.constData(), trailer);
        archive::writeArchiveRec(rec, bytes.data() + trailer);
    }
    return bytes;
}

void openAndExtract(const QByteArray &bytes)
{
    QFile::remove(inputFile());
    QFile file(inputFile());
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(bytes);
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
    } catch (const platform::Error &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    openAndExtract(bytes);
    openAndExtract(withValidChecksum(bytes));
    return 0;
}
