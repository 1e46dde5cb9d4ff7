#include "archive/blockreader.h"

namespace archive {

BlockReader::BlockReader(QIODevice &archiveFile, const TZLBFileRec &rec)
    : m_file(archiveFile)
    , m_stored(rec.Status != fsCompressed)
{
    if (!m_stored)
        m_inflater.emplace(archiveFile, rec.start, rec.csize);
    else
        m_ok = rec.osize <= rec.csize && archiveFile.seek(rec.start);
}

qint64 BlockReader::read(char *out, qint64 size)
{
    if (!m_ok)
        return 0;
    if (m_inflater)
        return m_inflater->read(out, size);
    qint64 total = 0;
    while (total < size) {
        const qint64 got = m_file.read(out + total, size - total);
        if (got <= 0)
            break;
        total += got;
    }
    return total;
}

} // namespace archive
