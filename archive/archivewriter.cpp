#include "archive/archivewriter.h"

#include "archive/checksum.h"
#include "archive/limiterror.h"
#include "archive/zlbmessages.h"
#include "platform/filecopy.h"
#include "platform/error.h"

#include <zlib.h>

#include <algorithm>

namespace archive {

ArchiveWriter::ArchiveWriter(QFile &file, const QString &archiveName, qint64 limit)
    : m_file(file)
    , m_archiveName(archiveName)
    , m_limit(limit)
{
}

void ArchiveWriter::ensureRoom(qint64 bytes) const
{
    if (bytes < 0 || bytes > m_limit - m_size)
        throw LimitError(msg::archiveTooLarge(m_archiveName));
}

void ArchiveWriter::append(const char *data, qint64 size)
{
    ensureRoom(size);
    if (static_cast<qint64>(m_buffer.size()) + size > BufferSize)
        flush();
    if (size >= BufferSize) {
        writeOut(data, size);
        m_written += size;
        startWriteback();
    } else {
        if (m_buffer.capacity() == 0)
            m_buffer.reserve(BufferSize);
        m_buffer.insert(m_buffer.end(), data, data + size);
    }
    m_size += size;
    if (m_crcKnown)
        m_crc = crc32Update(m_crc, data, size);
}

void ArchiveWriter::flush()
{
    if (m_buffer.empty())
        return;
    writeOut(m_buffer.data(), static_cast<qint64>(m_buffer.size()));
    m_written += static_cast<qint64>(m_buffer.size());
    m_buffer.clear();
    startWriteback();
}

void ArchiveWriter::startWriteback()
{
    if (m_written - m_handedToDisk < WritebackPiece)
        return;
    platform::startWriteback(m_file, m_handedToDisk, m_written - m_handedToDisk);
    m_handedToDisk = m_written;
}

void ArchiveWriter::writeOut(const char *data, qint64 size)
{
    if (m_file.write(data, size) == size)
        return;
    const QString reason = m_file.errorString();
    // Nothing half written stays behind: the bytes are still in memory for another try.
    m_file.resize(m_written);
    m_file.seek(m_written);
    failWrite(reason);
}

void ArchiveWriter::copyRange(QFile &from, qint64 offset, qint64 length)
{
    ensureRoom(length);
    flush();
    QString reason;
    if (!platform::copyFileRange(from, offset, m_file, m_size, length, &reason))
        failWrite(reason);
    m_size += length;
    m_written = m_size;
    startWriteback();
    if (!m_file.seek(m_size))
        failWrite(m_file.errorString());
    m_crcKnown = false;
}

void ArchiveWriter::copyRange(QFile &from, qint64 offset, qint64 length, quint32 rangeCrc)
{
    const bool known = m_crcKnown;
    const quint32 before = m_crc;
    copyRange(from, offset, length);
    m_crcKnown = known;
    m_crc = static_cast<quint32>(crc32_combine64(before, rangeCrc, length));
}

void ArchiveWriter::rollBack(const Mark &mark)
{
    if (mark.size >= m_written) {
        m_buffer.resize(static_cast<size_t>(mark.size - m_written));
    } else {
        m_buffer.clear();
        if (!m_file.resize(mark.size) || !m_file.seek(mark.size))
            failWrite(m_file.errorString());
        m_written = mark.size;
        m_handedToDisk = std::min(m_handedToDisk, m_written);
    }
    m_size = mark.size;
    m_crc = mark.crc;
    m_crcKnown = mark.crcKnown;
}

quint32 ArchiveWriter::checksum()
{
    if (!m_crcKnown) {
        flush();
        m_crc = crc32OfFileRange(m_file, 0, m_size, 0, msg::unableToWrite(m_file.fileName()));
        m_crcKnown = true;
        if (!m_file.seek(m_size))
            failWrite(m_file.errorString());
    }
    return m_crc;
}

void ArchiveWriter::sync()
{
    flush();
    QString reason;
    if (!platform::syncFile(m_file, &reason))
        failWrite(reason);
}

void ArchiveWriter::failWrite(const QString &reason) const
{
    throw platform::Error(msg::unableToWrite(m_file.fileName() + QLatin1String(": ") + reason));
}

} // namespace archive
