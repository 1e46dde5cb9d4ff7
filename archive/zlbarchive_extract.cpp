// TZLBArchive: extraction to files and to streams.
#include "archive/zlbarchive.h"

#include "archive/checksum.h"
#include "archive/entrynames.h"
#include "archive/inflater.h"
#include "archive/zlbmessages.h"
#include "platform/confinedfile.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <optional>

namespace archive {
namespace {

// Progress goes out per piece of 4,096 bytes; the bytes themselves are produced and
// written in larger batches, which is what makes extraction fast.
constexpr qint64 ReportPiece = 4096;
constexpr qint64 Batch = 256 << 10;

// Produces an entry's uncompressed bytes from its block, never reading outside it.
class BlockReader
{
public:
    BlockReader(QIODevice &archiveFile, const TZLBFileRec &rec)
        : m_file(archiveFile)
        , m_stored(rec.Status != fsCompressed)
    {
        if (!m_stored)
            m_inflater.emplace(archiveFile, rec.start, rec.csize);
        else
            m_ok = rec.osize <= rec.csize && archiveFile.seek(rec.start);
    }

    // The count produced: fewer than asked means the block gave out or is damaged. The
    // bytes produced before that are good and counted.
    qint64 read(char *out, qint64 size)
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
    bool failed() const { return !m_ok || (m_inflater && m_inflater->failed()); }

private:
    QIODevice &m_file;
    bool m_stored;
    bool m_ok = true;
    std::optional<Inflater> m_inflater;
};

std::unique_ptr<QFile> openArchiveFile(const QString &name)
{
    auto file = std::make_unique<QFile>(name);
    if (!QFileInfo(name).isFile() || !file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw platform::Error(msg::unableToOpen(name));
    return file;
}

QString outputName(const QString &root, const QStringList &folders, const QString &name)
{
    QString path = root;
    for (const QString &folder : folders)
        path += u'/' + folder;
    return path + u'/' + name;
}

} // namespace

// Where one extraction writes: the destination, made once, and the folder below it that
// the last entry went to, kept open for the next entries of the same folder.
class TZLBArchive::Output
{
public:
    explicit Output(const QString &Destination)
        // An empty destination is the current folder, never the root of the file system.
        : root(Destination.isEmpty() ? QStringLiteral(".") : Destination)
        , tree(root)
    {
    }

    void enter(const QStringList &folders, bool makeFolders)
    {
        if (makeFolders && !rootMade) {
            if (!QDir().mkpath(root))
                throw platform::Error(msg::unableToCreateDestination());
            rootMade = true;
        }
        QString reason;
        if (tree.enter(folders, makeFolders, &reason))
            return;
        // Without folders made, the destination is used as it is, and a missing one is
        // the output file's failure.
        throw platform::Error(makeFolders ? msg::unableToCreateDestination() + QLatin1String(" (") + reason + u')'
                                          : msg::unableToCreate(reason));
    }

    const QString root;
    platform::ConfinedTree tree;

private:
    bool rootMade = false;
};

quint32 TZLBArchive::ExtractEntry(int index, QIODevice &archiveFile, QIODevice &OutFile, const QString &outName)
{
    const TZLBFileRec &rec = fArchiveRegistry[static_cast<size_t>(index)];
    startProgress(ifExtracting, msg::extracting(shortStringText(rec.name)), rec.osize);
    BlockReader reader(archiveFile, rec);
    const auto buffer = std::make_unique_for_overwrite<char[]>(Batch);
    quint32 crc = 0;
    qint64 done = 0;
    while (done < rec.osize) {
        const qint64 wanted = std::min<qint64>(Batch, rec.osize - done);
        const qint64 got = reader.read(buffer.get(), wanted);
        // What was inflated before a damage is written first: it stays on disk.
        if (OutFile.write(buffer.get(), got) != got)
            throw platform::Error(msg::unableToWrite(outName + QLatin1String(": ") + OutFile.errorString()));
        crc = crc32Update(crc, buffer.get(), got);
        for (qint64 piece = 0; piece < got; piece += ReportPiece)
            DoProgress(ifExtracting, done + std::min(got, piece + ReportPiece));
        done += got;
        if (got != wanted || reader.failed())
            throw platform::Error(msg::fileCorrupt(index));
    }
    return crc;
}

void TZLBArchive::ExtractAll(const QString &Destination)
{
    checkOpen();
    // Every name is checked before the first file is written.
    for (size_t i = 0; i < fArchiveRegistry.size(); ++i)
        names::extractionPlace(fArchiveRegistry[i], fExtractWithPath, static_cast<int>(i));
    const auto archiveFile = openArchiveFile(fArchive);
    Output output(Destination);
    try {
        for (size_t i = 0; i < fArchiveRegistry.size(); ++i)
            extractToFile(archiveFile.get(), output, Destination, static_cast<int>(i), true, fExtractWithPath, true);
    } catch (...) {
        DoProgress(ifClear, 0);
        throw;
    }
    DoProgress(ifClear, 0);
}

void TZLBArchive::ExtractFileByIndex(const QString &Destination, int index)
{
    checkOpen();
    checkIndex(index);
    Output output(Destination);
    extractToFile(nullptr, output, Destination, index, fExtractWithPath, fExtractWithPath, false);
    DoProgress(ifClear, 0);
}

void TZLBArchive::ExtractFileByName(const QString &Destination, const QString &Filename)
{
    checkOpen();
    const int index = fLookup.find(names::archiveForm(Filename));
    if (index < 0)
        throw platform::Error(msg::fileNotInArchive());
    Output output(Destination);
    extractToFile(nullptr, output, Destination, index, true, fExtractWithPath, false);
    DoProgress(ifClear, 0);
}

void TZLBArchive::ExtractStreamByIndex(QIODevice &OutFile, int index)
{
    checkOpen();
    checkIndex(index);
    extractToStream(OutFile, index);
}

void TZLBArchive::ExtractStreamByName(QIODevice &OutFile, const QString &Filename)
{
    checkOpen();
    const int index = fLookup.find(names::archiveForm(Filename));
    if (index < 0)
        throw platform::Error(msg::fileNotInArchive());
    extractToStream(OutFile, index);
}

void TZLBArchive::extractToFile(QIODevice *archiveFile, Output &output, const QString &Destination, int index,
                                bool makeFolders, bool withPath, bool extractingAll)
{
    const TZLBFileRec &rec = fArchiveRegistry[static_cast<size_t>(index)];
    const names::ExtractionPlace place = names::extractionPlace(rec, withPath, index);
    output.enter(place.folders, makeFolders);
    const QString target = outputName(output.root, place.folders, place.name);
    if (OnReplaceFile && output.tree.exists(place.name)) {
        bool replace = false;
        OnReplaceFile(target, replace);
        if (!replace)
            return;
    }
    QFile out;
    QString reason;
    if (!output.tree.openFile(out, place.name, &reason))
        throw platform::Error(msg::unableToCreate(reason));
    std::unique_ptr<QFile> ownArchive;
    if (!archiveFile) {
        ownArchive = openArchiveFile(fArchive);
        archiveFile = ownArchive.get();
    }
    const quint32 crc = ExtractEntry(index, *archiveFile, out, target);
    out.close();
    if (out.error() != QFileDevice::NoError)
        throw platform::Error(msg::unableToWrite(target + QLatin1String(": ") + out.errorString()));
    if (fCheckCRC && crc != rec.CRC)
        throw platform::Error(extractingAll ? msg::fileCorrupt(index) : msg::fileFailedCrc(index));
    // The event gets the destination immediately followed by the name, as the
    // component has always reported it.
    if (OnFileExtracted)
        OnFileExtracted(Destination + shortStringText(rec.name));
}

void TZLBArchive::extractToStream(QIODevice &OutFile, int index)
{
    const TZLBFileRec &rec = fArchiveRegistry[static_cast<size_t>(index)];
    const auto archiveFile = openArchiveFile(fArchive);
    const quint32 crc = ExtractEntry(index, *archiveFile, OutFile, fullName(rec));
    if (fCheckCRC && crc != rec.CRC)
        throw platform::Error(msg::fileFailedCrc(index));
    if (OnStreamExtracted)
        OnStreamExtracted(fullName(rec));
    DoProgress(ifClear, 0);
}

} // namespace archive
