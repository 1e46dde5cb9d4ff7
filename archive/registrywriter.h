#pragma once
// Writing the end of an archive: the archive registry, compressed as one zlib stream at
// the component's level (even where that makes it longer), then the trailer with the
// checksum of everything before it.
#include "archive/archivewriter.h"
#include "archive/zlbrecords.h"

#include <functional>
#include <vector>

namespace archive {

// Bytes the registry and trailer of `count` records can take at most, so a change can
// keep room for them while it stores blocks.
qint64 registryReserve(qint64 count);

// Appends registry and trailer to `out`, whose end is the end of the entry data area.
// Reports (registry bytes consumed, registry size) whenever the compressor has filled
// an output buffer. Should compressing fail, the plain records are written instead, from
// the same place. Returns the trailer written.
TZLBArchiveRec writeRegistry(ArchiveWriter &out, const std::vector<TZLBFileRec> &records, TFileCompressionLevel level,
                             const std::function<void(qint64 consumed, qint64 total)> &progress);

} // namespace archive
