#pragma once
// The new archive file while a change writes it: appends bytes, copies unchanged blocks
// from the old file as stored bytes (in the kernel, in one piece per run of adjacent
// blocks), keeps the checksum of everything written as it goes, and refuses to let the
// file reach 2 GiB, which the format's signed 32-bit offsets cannot address.
//
// Appended bytes gather in a 1 MiB buffer that goes to the file in one write, so
// thousands of small blocks cost a few large writes; it is written out, in order, before
// a copy, a read back and the flush to the disk. A write that fails leaves the file at
// what was written before and the bytes in the buffer, so the block being appended can be
// rolled back and the ones before it are written with the next write.
#include <QFile>
#include <QString>

#include <vector>

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

    // Writes out the buffer and flushes the file's data to the disk.
    void sync();

    static constexpr qint64 BufferSize = 1 << 20;
    // Written bytes are handed to the disk in pieces this large while the change goes on,
    // so the flush at its end waits for little more than the last piece.
    static constexpr qint64 WritebackPiece = qint64(8) << 20;

private:
    void flush();
    // Writes bytes at the file's end; on failure the file is cut back to where it was.
    void writeOut(const char *data, qint64 size);
    void startWriteback();
    [[noreturn]] void failWrite(const QString &reason) const;

    QFile &m_file;
    QString m_archiveName;
    qint64 m_limit;
    qint64 m_size = 0;
    qint64 m_written = 0;        // bytes in the file; the rest of m_size waits in m_buffer
    qint64 m_handedToDisk = 0;   // bytes whose writeback has been started
    std::vector<char> m_buffer;
    quint32 m_crc = 0;
    bool m_crcKnown = true;
};

} // namespace archive
