#pragma once
// Reading what an archive file says about itself: the trailer and the archive registry,
// checked as the format demands before anything else is read.
#include "archive/zlbrecords.h"

#include <QIODevice>

#include <functional>
#include <vector>

namespace archive {

struct ArchiveIndex
{
    TZLBArchiveRec details;
    std::vector<TZLBFileRec> records;
    // CRC-32 of the entry data area alone, a by-product of the whole-file check: a
    // change that keeps the data area continues the new file's checksum from it
    // instead of reading the area again.
    quint32 dataAreaCrc = 0;
};

// Bytes of the archive registry taken so far, against the registry's full size.
using RegistryProgress = std::function<void(qint64 done, qint64 total)>;

// Reads and checks the archive (a file, or any device that can seek). Throws platform::Error with "The archive file appears to be
// corrupted" when the file is too short to be an archive or its checksum fails, and
// with "Unable to read archive file list" when the trailer's counts do not fit the file,
// the registry cannot be read or yields too few bytes, or an entry's block lies outside
// the entry data area.
ArchiveIndex readArchiveIndex(QIODevice &file, const RegistryProgress &progress);

} // namespace archive
