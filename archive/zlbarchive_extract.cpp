// TZLBArchive: extraction to files and to streams.
#include "archive/zlbarchive.h"

#include "archive/checksum.h"
#include "archive/entrynames.h"
#include "archive/blockpipeline.h"
#include "archive/blockreader.h"
#include "archive/serialworker.h"
#include "archive/windowedreader.h"
#include "archive/zlbmessages.h"
#include "platform/confinedfile.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <deque>
#include <exception>
#include <memory>

namespace archive {
namespace {

// Progress goes out per piece of 4,096 bytes; the bytes themselves are produced and
// written in larger batches, which is what makes extraction fast.
constexpr qint64 ReportPiece = 4096;
constexpr qint64 Batch = 256 << 10;
// ExtractAll hands entries of up to one batch to its writer thread whole, at most this
// many ahead of the events: 8 MiB of inflated bytes at most.
constexpr qint64 QueuedFileLimit = Batch;
constexpr size_t QueueLength = 32;

QString outputName(const QString &root, const QStringList &folders, const QString &name)
{
    QString path = root;
    for (const QString &folder : folders)
        path += u'/' + folder;
    return path + u'/' + name;
}

} // namespace

// An entry of ExtractAll small enough to be inflated whole: the caller's thread inflates
// it, the writer thread puts it on disk, and the caller reads what the writer found once
// the writer is done with it.
struct TZLBArchive::QueuedFile
{
    int index = 0;
    names::ExtractionPlace place;
    QByteArray bytes; // the whole entry, or what came before a damage
    quint32 crc = 0;
    bool damaged = false;

    // Found by the writer.
    std::exception_ptr enterFailure;
    enum Step { Written, Opening, Writing, Closing } failedAt = Written;
    QString reason;
};

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

    // On the writer thread: puts a file inflated whole on disk, as extractToFile does,
    // and notes what failed. False when something did: nothing after it may be written.
    bool write(QueuedFile &file)
    {
        try {
            enter(file.place.folders, true);
        } catch (...) {
            file.enterFailure = std::current_exception();
            return false;
        }
        platform::ConfinedFile out;
        if (!tree.openFile(out, file.place.name, &file.reason)) {
            file.failedAt = QueuedFile::Opening;
            return false;
        }
        if (!file.bytes.isEmpty() && out.write(file.bytes) != file.bytes.size()) {
            file.failedAt = QueuedFile::Writing;
            file.reason = out.errorString();
            return false;
        }
        if (!out.finish()) {
            file.failedAt = QueuedFile::Closing;
            file.reason = out.errorString();
            return false;
        }
        return true;
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
    const qint64 batch = std::clamp<qint64>(rec.osize, 1, Batch);
    const auto buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(batch));
    quint32 crc = 0;
    qint64 done = 0;
    while (done < rec.osize) {
        const qint64 wanted = std::min<qint64>(batch, rec.osize - done);
        const qint64 got = reader.read(buffer.get(), wanted);
        // What was inflated before a damage is written first: it stays on disk.
        if (OutFile.write(buffer.get(), got) != got)
            throw platform::Error(msg::unableToWrite(outName + QLatin1String(": ") + OutFile.errorString()));
        crc = crc32Update(crc, buffer.get(), got);
        reportExtracted(done, got);
        done += got;
        if (got != wanted || reader.failed())
            throw platform::Error(msg::fileCorrupt(index));
    }
    return crc;
}

void TZLBArchive::reportExtracted(qint64 done, qint64 got)
{
    for (qint64 piece = 0; piece < got; piece += ReportPiece)
        DoProgress(ifExtracting, done + std::min(got, piece + ReportPiece));
}

void TZLBArchive::ExtractAll(const QString &Destination)
{
    checkOpen();
    // Every name is checked before the first file is written.
    for (size_t i = 0; i < fArchiveRegistry.size(); ++i)
        names::extractionPlace(fArchiveRegistry[i], fExtractWithPath, static_cast<int>(i));
    const auto archiveFile = std::make_unique<WindowedReader>(OpenForReading(fArchive));
    Output output(Destination);
    try {
        // A question before each file needs the files before it on disk.
        if (!OnReplaceFile && BlockPipeline::threadsFor(fThreads) > 1) {
            extractAllQueued(*archiveFile, output, Destination);
        } else {
            for (size_t i = 0; i < fArchiveRegistry.size(); ++i)
                extractToFile(archiveFile.get(), output, Destination, static_cast<int>(i), true, fExtractWithPath,
                              true);
        }
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
    const int index = fLookup.find(fArchiveRegistry, names::archiveForm(Filename));
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
    const int index = fLookup.find(fArchiveRegistry, names::archiveForm(Filename));
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
    platform::ConfinedFile out;
    QString reason;
    if (!output.tree.openFile(out, place.name, &reason))
        throw platform::Error(msg::unableToCreate(reason));
    std::unique_ptr<QIODevice> ownArchive;
    if (!archiveFile) {
        ownArchive = std::make_unique<WindowedReader>(OpenForReading(fArchive));
        archiveFile = ownArchive.get();
    }
    const quint32 crc = ExtractEntry(index, *archiveFile, out, target);
    if (!out.finish())
        throw platform::Error(msg::unableToWrite(target + QLatin1String(": ") + out.errorString()));
    fileExtracted(index, crc, Destination, extractingAll);
}

void TZLBArchive::fileExtracted(int index, quint32 crc, const QString &Destination, bool extractingAll)
{
    const TZLBFileRec &rec = fArchiveRegistry[static_cast<size_t>(index)];
    if (fCheckCRC && crc != rec.CRC)
        throw platform::Error(extractingAll ? msg::fileCorrupt(index) : msg::fileFailedCrc(index));
    // The event gets the destination immediately followed by the name, as the
    // component has always reported it.
    if (OnFileExtracted)
        OnFileExtracted(Destination + shortStringText(rec.name));
}

// The files go to disk on a writer thread, in the archive's order, while this thread
// inflates the next entries. Every event is raised here, for each file once the writer is
// done with it, in the order and with the failures extractToFile would give; the writer
// stops at its first failure, and nothing is handed to it after a damaged entry.
void TZLBArchive::extractAllQueued(QIODevice &archiveFile, Output &output, const QString &Destination)
{
    std::deque<std::unique_ptr<QueuedFile>> queue;
    SerialWorker writer; // ends before the queue its tasks point into
    const auto finishOldest = [&] {
        writer.takeOldest();
        const std::unique_ptr<QueuedFile> file = std::move(queue.front());
        queue.pop_front();
        finishQueued(*file, output, Destination);
    };
    for (size_t i = 0; i < fArchiveRegistry.size(); ++i) {
        const TZLBFileRec &rec = fArchiveRegistry[i];
        if (rec.osize > QueuedFileLimit) {
            // A large entry goes in pieces on this thread, once the files before it are done.
            while (!queue.empty())
                finishOldest();
            extractToFile(&archiveFile, output, Destination, static_cast<int>(i), true, fExtractWithPath, true);
            continue;
        }
        queue.push_back(inflateQueued(archiveFile, static_cast<int>(i)));
        QueuedFile *file = queue.back().get();
        writer.push([&output, file] { return output.write(*file); });
        // A full queue waits for half of it at once rather than waking for each file.
        if (queue.size() > QueueLength)
            writer.waitUntilOver(QueueLength / 2);
        const bool failsHere = file->damaged || (fCheckCRC && file->crc != rec.CRC);
        while (!queue.empty() && (failsHere || writer.oldestIsOver()))
            finishOldest();
    }
    while (!queue.empty())
        finishOldest();
}

std::unique_ptr<TZLBArchive::QueuedFile> TZLBArchive::inflateQueued(QIODevice &archiveFile, int index) const
{
    const TZLBFileRec &rec = fArchiveRegistry[static_cast<size_t>(index)];
    auto file = std::make_unique<QueuedFile>();
    file->index = index;
    file->place = names::extractionPlace(rec, fExtractWithPath, index);
    if (rec.osize == 0)
        return file;
    BlockReader reader(archiveFile, rec);
    file->bytes.resize(rec.osize);
    const qint64 got = reader.read(file->bytes.data(), rec.osize);
    file->bytes.truncate(got);
    file->crc = crc32Update(0, file->bytes.constData(), got);
    file->damaged = got != rec.osize || reader.failed();
    return file;
}

// Raises, for a file the writer is done with, the events and the failure extractToFile
// would have raised.
void TZLBArchive::finishQueued(const QueuedFile &file, const Output &output, const QString &Destination)
{
    const TZLBFileRec &rec = fArchiveRegistry[static_cast<size_t>(file.index)];
    if (file.enterFailure)
        std::rethrow_exception(file.enterFailure);
    if (file.failedAt == QueuedFile::Opening)
        throw platform::Error(msg::unableToCreate(file.reason));
    startProgress(ifExtracting, msg::extracting(shortStringText(rec.name)), rec.osize);
    const QString target = outputName(output.root, file.place.folders, file.place.name);
    if (file.failedAt == QueuedFile::Writing)
        throw platform::Error(msg::unableToWrite(target + QLatin1String(": ") + file.reason));
    reportExtracted(0, file.bytes.size());
    if (file.damaged)
        throw platform::Error(msg::fileCorrupt(file.index));
    if (file.failedAt == QueuedFile::Closing)
        throw platform::Error(msg::unableToWrite(target + QLatin1String(": ") + file.reason));
    fileExtracted(file.index, file.crc, Destination, true);
}

void TZLBArchive::extractToStream(QIODevice &OutFile, int index)
{
    const TZLBFileRec &rec = fArchiveRegistry[static_cast<size_t>(index)];
    const auto archiveFile = std::make_unique<WindowedReader>(OpenForReading(fArchive));
    const quint32 crc = ExtractEntry(index, *archiveFile, OutFile, fullName(rec));
    if (fCheckCRC && crc != rec.CRC)
        throw platform::Error(msg::fileFailedCrc(index));
    if (OnStreamExtracted)
        OnStreamExtracted(fullName(rec));
    DoProgress(ifClear, 0);
}

} // namespace archive
