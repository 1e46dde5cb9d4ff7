#include "archive/blockcopier.h"

namespace archive {

BlockCopier::BlockCopier(QFile &from, ArchiveWriter &to)
    : m_from(from)
    , m_to(to)
{
}

void BlockCopier::queue(TZLBFileRec &rec)
{
    if (m_runLength > 0 && rec.start != m_runStart + m_runLength)
        flush();
    if (m_runLength == 0)
        m_runStart = rec.start;
    m_to.ensureRoom(m_runLength + rec.csize);
    rec.start = static_cast<qint32>(m_to.size() + m_runLength);
    m_runLength += rec.csize;
}

void BlockCopier::flush()
{
    if (m_runLength > 0)
        m_to.copyRange(m_from, m_runStart, m_runLength);
    m_runLength = 0;
}

} // namespace archive
