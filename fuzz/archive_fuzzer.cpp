// Opens arbitrary bytes as a ZLB archive and extracts every entry to memory. The bytes
// never touch a file: the component reads the archive through the device its
// OpenForReading gives, here a buffer over the input, so each run costs no system call.
// Every entry's name is also looked up. Anything but a platform::Error (a crash, a
// sanitizer report, another exception) is a finding.
// Each input is tried twice: as it is, and with its whole-file checksum made valid, since
// almost every mutation would otherwise stop at that checksum and never reach the
// registry or the blocks behind it.
#include "archive/checksum.h"
#include "archive/zlbarchive.h"
#include "platform/error.h"

#include <QBuffer>

#include <cstdint>

namespace {

const QString InputName = QStringLiteral("/fuzz/input.zlb");

class MemoryArchive : public archive::TZLBArchive
{
public:
    explicit MemoryArchive(const QByteArray &bytes)
        : m_bytes(bytes)
    {
    }

    std::unique_ptr<QIODevice> OpenForReading(const QString &filename) override
    {
        if (filename != InputName)
            __builtin_trap();
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(m_bytes);
        buffer->open(QIODevice::ReadOnly);
        return buffer;
    }

private:
    QByteArray m_bytes;
};

void extractAll(archive::TZLBArchive &zlb)
{
    for (int i = 0; i < zlb.FileCount(); ++i) {
        zlb.FileInArchive(archive::fullName(zlb.Files(i)));
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
    MemoryArchive zlb(bytes);
    zlb.SetCheckCRC(true);
    zlb.OnProgress = [](const QString &, int percent) {
        if (percent < 0 || percent > 100)
            __builtin_trap();
    };
    try {
        if (zlb.OpenArchive(InputName))
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
