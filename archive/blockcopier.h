#pragma once
// Moves unchanged blocks from the old archive file into the new one as stored bytes,
// never recompressed. Blocks that lie back to back in the old file go over in one copy,
// so keeping all but one entry of an archive costs two large copies, not one per entry.
#include "archive/archivewriter.h"
#include "archive/zlbrecords.h"

namespace archive {

class BlockCopier
{
public:
    BlockCopier(QFile &from, ArchiveWriter &to);

    // The record's block goes to the end of the new file; its `start` is set to where it
    // will lie there. The copy itself may wait for the next block.
    void queue(TZLBFileRec &rec);
    // Copies what is queued. Must be called before anything else is written to the new file.
    void flush();

private:
    QFile &m_from;
    ArchiveWriter &m_to;
    qint64 m_runStart = 0;
    qint64 m_runLength = 0;
};

} // namespace archive
