#pragma once
// Produces an entry's uncompressed bytes from its block, never reading outside it.
#include "archive/inflater.h"
#include "archive/zlbrecords.h"

#include <QIODevice>

#include <optional>

namespace archive {

class BlockReader
{
public:
    BlockReader(QIODevice &archiveFile, const TZLBFileRec &rec);

    // The count produced: fewer than asked means the block gave out or is damaged. The
    // bytes produced before that are good and counted.
    qint64 read(char *out, qint64 size);
    bool failed() const { return !m_ok || (m_inflater && m_inflater->failed()); }

private:
    QIODevice &m_file;
    bool m_stored;
    bool m_ok = true;
    std::optional<Inflater> m_inflater;
};

} // namespace archive
