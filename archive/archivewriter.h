#pragma once
// The new archive file while a change writes it: appends bytes, copies unchanged blocks
// from the old file as stored bytes (in the kernel, in one piece per run of adjacent
// blocks), keeps the checksum of everything written as it goes, and refuses to let the
// file reach 2 GiB, which the format's signed 32-bit offsets cannot address.
#include <QFile>
#include <QString>

namespace archive {

class ArchiveWriter
{
public:
    // The largest file the format can address: every offset is a signed 32-bit number.
    static constexpr qint64 MaxArchiveSize = 0x7fffffff;

    // `file` is open for reading and writing, empty, and unbuffered; `archiveName` names
    // the archive in messages. `limit` is lowered only by tests.
    ArchiveWriter(QFile &file, const QString &archiveName, qint64 limit = MaxArchiveSize);

    qint64 size() const { return m_size; }

    // Throws platform::Error when `bytes` more would make the file reach 2 GiB.
    void ensureRoom(qint64 bytes) const;

    void append(const char *data, qint64 size);
    void append(const QByteArray &bytes) { append(bytes.constData(), bytes.size()); }

    // Copies `length` bytes of `from` at `offset` to the end. Pass the range's
    // checksum when it is known, so the final checksum needs no second read.
    void copyRange(QFile &from, qint64 offset, qint64 length);
    void copyRange(QFile &from, qint64 offset, qint64 length, quint32 rangeCrc);

    // A point to return to when a block turns out not to be wanted after all.
    struct Mark
    {
        qint64 size;
        quint32 crc;
        bool crcKnown;
    };
    Mark mark() const { return {m_size, m_crc, m_crcKnown}; }
    void rollBack(const Mark &mark);

    // CRC-32 of everything written so far; reads the file back only when a copied
    // range's checksum was not known.
    quint32 checksum();

    // Flushes the file's data to the disk.
    void sync();

private:
    [[noreturn]] void failWrite(const QString &reason) const;

    QFile &m_file;
    QString m_archiveName;
    qint64 m_limit;
    qint64 m_size = 0;
    quint32 m_crc = 0;
    bool m_crcKnown = true;
};

} // namespace archive
