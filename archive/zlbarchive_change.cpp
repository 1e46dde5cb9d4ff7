// TZLBArchive: every change, written as a complete new archive in a new file beside the
// old one that then replaces it in a single atomic step.
#include "archive/zlbarchive.h"

#include "archive/archivewriter.h"
#include "archive/blockcopier.h"
#include "archive/blockpipeline.h"
#include "archive/blockstore.h"
#include "archive/entrynames.h"
#include "archive/limiterror.h"
#include "archive/listmatcher.h"
#include "archive/registrywriter.h"
#include "archive/zlbmessages.h"
#include "platform/error.h"
#include "platform/file_replacement.h"
#include "platform/filecopy.h"
#include "platform/filereplace.h"
#include "platform/scratch_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <optional>

namespace archive {

// One change in progress: the new file, the old one, and the registry being built.
// The new file lies beside the old one without a name until it replaces it; when the
// archive's folder takes no new file, it is a named file from CreateTempFile, as the
// rename over the archive is then bound to fail and the new archive is kept there.
class TZLBArchive::Rewrite
{
public:
    Rewrite(std::unique_ptr<platform::FileReplacement> replacement, const QString &tempName,
            const QString &archiveName, const std::vector<TZLBFileRec> &registry, const EntryLookup &lookup,
            TFileCompressionLevel level)
        : beside(std::move(replacement))
        , named(tempName)
        , temp(beside ? beside->file() : named)
        , writer(temp, archiveName)
        , blocks(level)
        , records(registry)
        , lookup(lookup)
    {
    }

    std::unique_ptr<platform::FileReplacement> beside;
    QFile named;
    QFile &temp;
    std::optional<QFile> old;
    ArchiveWriter writer;
    BlockStore blocks;
    std::vector<TZLBFileRec> records;
    EntryLookup lookup;
};

namespace {

// The folded keys of a file list, kept beside it: an item whose key cannot match has none.
using ListKeys = std::vector<std::optional<QString>>;

TZLBFileRec newRecord(const QString &key)
{
    TZLBFileRec rec;
    setShortString(rec.name, names::filePart(key));
    setShortString(rec.path, names::folderPart(key));
    return rec;
}

// The new archive's file beside the archive; nothing when its folder takes no new file
// (it is not writable): the change then goes the old way, through the temporary folder,
// and the reason shows when the new archive cannot replace the old one.
std::unique_ptr<platform::FileReplacement> replacementBeside(const QString &archiveName)
{
    try {
        return std::make_unique<platform::FileReplacement>(archiveName);
    } catch (const platform::Error &) {
        return nullptr;
    }
}

std::unique_ptr<QFile> openSpillFile()
{
    return platform::openScratchFile(QDir::tempPath());
}

QFile &oldFile(std::optional<QFile> &old, const QString &archiveName)
{
    if (!old)
        throw platform::Error(msg::unableToOpen(archiveName));
    return *old;
}

} // namespace

QString TZLBArchive::sourceKey(const QString &filename) const
{
    return names::sourceName(filename, fSavePaths);
}

void TZLBArchive::logError(const QString &message)
{
    if (OnErrorLogged && !fDestroying)
        OnErrorLogged(message);
}

void TZLBArchive::changeArchive(bool raiseEveryFailure, const std::function<void(Rewrite &)> &fill)
{
    auto beside = replacementBeside(fArchive);
    const QString tempName = beside ? QString() : CreateTempFile();
    Rewrite rewrite(std::move(beside), tempName, fArchive, fArchiveRegistry, fLookup, fCompressionLevel);
    try {
        if (!rewrite.beside && !rewrite.named.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
            throw platform::Error(msg::unableToOpen(tempName));
        // A new archive has no file yet; every other change reads the old one.
        if (!fNewArchive) {
            rewrite.old.emplace(fArchive);
            if (!QFileInfo(fArchive).isFile() || !rewrite.old->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
                throw platform::Error(msg::unableToOpen(fArchive));
        }
        fill(rewrite);
        startProgress(ifWritingRegistry, msg::writingRegistry(), 0);
        writeRegistry(rewrite.writer, rewrite.records, fCompressionLevel,
                      [this](qint64 consumed, qint64 total) { reportUnit(consumed, total); });
        rewrite.writer.sync();
        // A named file is put in place by its name; the unnamed one stays open to be.
        if (!rewrite.beside)
            rewrite.temp.close();
    } catch (const std::exception &e) {
        rewrite.temp.close();
        if (!rewrite.beside)
            QFile::remove(tempName);
        if (raiseEveryFailure || dynamic_cast<const LimitError *>(&e))
            throw;
        logError(platform::messageOf(e));
        return;
    }
    commitRewrite(rewrite);
}

void TZLBArchive::commitRewrite(Rewrite &rewrite)
{
    rewrite.old.reset();
    // The registry is read back from the new file; the copy built here goes first.
    std::vector<TZLBFileRec>().swap(rewrite.records);
    rewrite.lookup.rebuild(rewrite.records);
    // The old archive stays in place until the new one replaces it in one step; if that
    // fails the new one is kept, in the temporary folder, and the caller learns where.
    if (rewrite.beside) {
        try {
            rewrite.beside->commit();
        } catch (const platform::Error &e) {
            throw platform::Error(msg::archiveNotReplaced(fArchive, keepCopy(rewrite.temp), e.message()));
        }
    } else {
        QString reason;
        if (!platform::replaceFile(rewrite.named.fileName(), fArchive, &reason))
            throw platform::Error(msg::archiveNotReplaced(fArchive, rewrite.named.fileName(), reason));
    }
    const QString name = fArchive;
    CloseArchive();
    OpenArchive(name);
}

QString TZLBArchive::keepCopy(QFile &newArchive)
{
    const QString name = CreateTempFile();
    QFile copy(name);
    QString reason;
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        reason = copy.errorString();
    } else if (platform::copyFileRange(newArchive, 0, copy, 0, newArchive.size(), &reason)) {
        return name;
    }
    copy.close();
    QFile::remove(name);
    throw platform::Error(msg::unableToWrite(name + QLatin1String(": ") + reason));
}

void TZLBArchive::copyDataArea(Rewrite &rewrite)
{
    if (rewrite.old && fArchiveDetails.ArchiveSize > 0)
        rewrite.writer.copyRange(*rewrite.old, 0, fArchiveDetails.ArchiveSize, fDataAreaCrc);
}

BlockOptions TZLBArchive::blockOptions(const Rewrite &rewrite, const QString &sourceName)
{
    BlockOptions options;
    options.sourceName = sourceName;
    // Room is kept for the registry with one more record, so it can never push the
    // finished file past the limit.
    options.reserve = registryReserve(static_cast<qint64>(rewrite.records.size()) + 1);
    options.createSpillFile = openSpillFile;
    options.progress = [this](qint64 consumed, qint64 total) { reportUnit(consumed, total); };
    return options;
}

void TZLBArchive::storeSource(Rewrite &rewrite, QIODevice &source, const QString &sourceName, TInternalFlags flag,
                              TZLBFileRec &rec)
{
    startProgress(flag, msg::updating(sourceName), source.isSequential() ? 0 : source.size());
    BlockOptions options = blockOptions(rewrite, sourceName);
    // A lone source leaves the other processors free to read it.
    options.readAhead = BlockPipeline::threadsFor(fThreads) > 1;
    rewrite.blocks.store(source, rewrite.writer, options, rec);
}

std::unique_ptr<BlockPipeline> TZLBArchive::startPipeline(const QStringList &sources, std::vector<bool> wanted)
{
    const int threads = BlockPipeline::threadsFor(fThreads);
    // One source gains nothing from workers.
    if (std::count(wanted.begin(), wanted.end(), true) < 2)
        return nullptr;
    // With one thread to compress, this one compresses and a worker reads ahead of it:
    // opening and reading thousands of small files costs as much as compressing them fast.
    if (threads <= 1)
        return std::make_unique<BlockPipeline>(sources, std::move(wanted), fCompressionLevel, 1, openSpillFile,
                                               BlockPipeline::Work::ReadOnly, BlockPipeline::ReadAheadBudget);
    return std::make_unique<BlockPipeline>(sources, std::move(wanted), fCompressionLevel, threads, openSpillFile);
}

// Source `index` of a list: prepared by a worker when there is a pipeline, here otherwise.
// Either way the events are the same and come in the same order, on this thread.
void TZLBArchive::storeListed(Rewrite &rewrite, BlockPipeline *pipeline, qsizetype index, const QString &sourceName,
                              TInternalFlags flag, TZLBFileRec &rec)
{
    if (!pipeline) {
        const auto source = openSource(sourceName);
        storeSource(rewrite, *source, sourceName, flag, rec);
        return;
    }
    BlockPipeline::Prepared &prepared = pipeline->take(index);
    startProgress(flag, msg::updating(sourceName), prepared.total);
    for (const qint64 consumed : prepared.consumed)
        reportUnit(consumed, prepared.total);
    if (prepared.failure)
        std::rethrow_exception(prepared.failure);
    rewrite.blocks.write(prepared.block, prepared.source.get(), rewrite.writer, blockOptions(rewrite, sourceName), rec);
}

void TZLBArchive::appendRecord(Rewrite &rewrite, const TZLBFileRec &rec)
{
    rewrite.records.push_back(rec);
    rewrite.lookup.add(rewrite.records, static_cast<int>(rewrite.records.size()) - 1);
}

void TZLBArchive::replaceEntry(Rewrite &rewrite, int index, QIODevice &source, const QString &sourceName)
{
    QFile &old = oldFile(rewrite.old, fArchive);
    BlockCopier copier(old, rewrite.writer);
    for (int i = 0; i < index; ++i)
        copier.queue(rewrite.records[static_cast<size_t>(i)]);
    copier.flush();
    storeSource(rewrite, source, sourceName, ifUpdating, rewrite.records[static_cast<size_t>(index)]);
    for (size_t i = static_cast<size_t>(index) + 1; i < rewrite.records.size(); ++i)
        copier.queue(rewrite.records[i]);
    copier.flush();
}

void TZLBArchive::AddFile(const QString &Filename)
{
    checkOpen();
    const QString key = sourceKey(Filename);
    if (fLookup.find(fArchiveRegistry, key) >= 0)
        throw platform::Error(msg::fileAlreadyExists());
    changeArchive(false, [&](Rewrite &rewrite) {
        copyDataArea(rewrite);
        const auto source = openSource(Filename);
        TZLBFileRec rec = newRecord(key);
        storeSource(rewrite, *source, Filename, ifAdding, rec);
        appendRecord(rewrite, rec);
    });
}

void TZLBArchive::AddStream(const QString &Filename, QIODevice &InStream)
{
    checkOpen();
    const QString key = names::storedName(Filename, fSavePaths);
    if (fLookup.find(fArchiveRegistry, key) >= 0)
        throw platform::Error(msg::fileAlreadyExists());
    if (InStream.isSequential())
        throw platform::Error(msg::streamNotSeekable(Filename));
    changeArchive(false, [&](Rewrite &rewrite) {
        copyDataArea(rewrite);
        TZLBFileRec rec = newRecord(key);
        storeSource(rewrite, InStream, Filename, ifAdding, rec);
        appendRecord(rewrite, rec);
    });
}

void TZLBArchive::folderPass(QStringList &list)
{
    FolderWalk walk{&list, {}};
    fWalk = &walk;
    const struct WalkEnd
    {
        FolderWalk *&walk;
        ~WalkEnd() { walk = nullptr; }
    } walkEnd{fWalk};
    QStringList files;
    // The list grows while it is read: a folder's files are appended and met in turn.
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString item = list.at(i);
        const bool listedFile = static_cast<size_t>(i) < walk.listedFiles.size() && walk.listedFiles[static_cast<size_t>(i)];
        if (listedFile || !QFileInfo(item).isDir())
            files.append(item);
        else if (fRecursePaths)
            ExpandFolder(item, list);
    }
    list = files;
}

void TZLBArchive::AddFiles(QStringList &FileList)
{
    checkOpen();
    folderPass(FileList);
    // The keys first: an item that cannot have one is never read.
    std::vector<std::optional<QString>> keys;
    std::vector<QString> keyErrors;
    for (const QString &item : std::as_const(FileList)) {
        try {
            keys.emplace_back(sourceKey(item));
            keyErrors.emplace_back();
        } catch (const std::exception &e) {
            keys.emplace_back();
            keyErrors.push_back(platform::messageOf(e));
        }
    }
    changeArchive(false, [&](Rewrite &rewrite) {
        copyDataArea(rewrite);
        std::vector<bool> wanted;
        for (const auto &key : keys)
            wanted.push_back(key.has_value());
        const auto pipeline = startPipeline(FileList, std::move(wanted));
        for (size_t index = 0; !FileList.isEmpty(); ++index) {
            const QString item = FileList.first();
            try {
                if (!keys[index])
                    throw platform::Error(keyErrors[index]);
                const QString &key = *keys[index];
                if (rewrite.lookup.find(rewrite.records, key) >= 0)
                    logError(msg::alreadyInArchive(item));
                TZLBFileRec rec = newRecord(key);
                storeListed(rewrite, pipeline.get(), static_cast<qsizetype>(index), item, ifAdding, rec);
                appendRecord(rewrite, rec);
            } catch (const std::exception &e) {
                logError(platform::messageOf(e));
            }
            if (pipeline)
                pipeline->release(static_cast<qsizetype>(index));
            FileList.removeFirst();
        }
    });
}

void TZLBArchive::UpdateFile(const QString &FileName, int FileIndex)
{
    checkOpen();
    if (fLookup.find(fArchiveRegistry, sourceKey(FileName)) != FileIndex || FileIndex < 0)
        throw platform::Error(msg::fileNotInArchive());
    changeArchive(false, [&](Rewrite &rewrite) {
        const auto source = openSource(FileName);
        replaceEntry(rewrite, FileIndex, *source, FileName);
    });
}

void TZLBArchive::UpdateStream(const QString &FileName, QIODevice &InStream)
{
    checkOpen();
    const int index = fLookup.find(fArchiveRegistry, names::storedName(FileName, fSavePaths));
    if (index < 0)
        throw platform::Error(msg::fileNotInArchive());
    if (InStream.isSequential())
        throw platform::Error(msg::streamNotSeekable(FileName));
    changeArchive(false, [&](Rewrite &rewrite) { replaceEntry(rewrite, index, InStream, FileName); });
}

void TZLBArchive::UpdateFiles(QStringList &FileList)
{
    checkOpen();
    folderPass(FileList);
    ListKeys keys;
    for (const QString &item : std::as_const(FileList)) {
        // A Linux name holding "\" can match no entry faithfully; it stays listed.
        keys.push_back(item.contains(u'\\') ? std::nullopt
                                              : std::optional<QString>(names::foldCase(sourceKey(item))));
    }
    // Each entry takes the first item left whose key matches; only a stored item leaves
    // the list, one that failed stays with the caller.
    std::vector<bool> stored(static_cast<size_t>(FileList.size()), false);
    const struct ListUpdate
    {
        QStringList &list;
        const std::vector<bool> &stored;
        ~ListUpdate() { removeFlagged(list, stored); }
    } listUpdate{FileList, stored};
    changeArchive(false, [&](Rewrite &rewrite) {
        BlockCopier copier(oldFile(rewrite.old, fArchive), rewrite.writer);
        ListMatcher matcher(keys);
        std::vector<qsizetype> matches;
        matches.reserve(rewrite.records.size());
        QStringList sources;
        for (const TZLBFileRec &rec : rewrite.records) {
            matches.push_back(matcher.take(names::foldCase(fullName(rec))));
            if (matches.back() >= 0)
                sources << FileList.at(matches.back());
        }
        const auto pipeline = startPipeline(sources, std::vector<bool>(static_cast<size_t>(sources.size()), true));
        qsizetype next = 0;
        for (size_t i = 0; i < rewrite.records.size(); ++i) {
            TZLBFileRec &rec = rewrite.records[i];
            const qsizetype match = matches[i];
            if (match < 0) {
                copier.queue(rec);
                continue;
            }
            copier.flush();
            try {
                storeListed(rewrite, pipeline.get(), next, sources.at(next), ifUpdating, rec);
            } catch (const LimitError &) {
                throw;
            } catch (const std::exception &) {
                throw platform::Error(msg::unableToOpen(fArchive));
            }
            if (pipeline)
                pipeline->release(next);
            ++next;
            stored[static_cast<size_t>(match)] = true;
        }
        copier.flush();
    });
}

void TZLBArchive::DeleteFiles(QStringList &FileList)
{
    checkOpen();
    const QString name = fArchive;
    const bool wasNew = fNewArchive;
    ListKeys keys;
    for (const QString &item : std::as_const(FileList)) {
        const QString form = names::archiveForm(item);
        keys.push_back(names::foldCase(names::withoutDrive(names::folderPart(form)) + names::filePart(form)));
    }
    try {
        changeArchive(true, [&](Rewrite &rewrite) {
            ListMatcher matcher(keys);
            std::vector<bool> taken(static_cast<size_t>(FileList.size()), false);
            std::erase_if(rewrite.records, [&](const TZLBFileRec &rec) {
                const qsizetype item = matcher.take(names::foldCase(fullName(rec)));
                if (item >= 0)
                    taken[static_cast<size_t>(item)] = true;
                return item >= 0;
            });
            removeFlagged(FileList, taken);
            try {
                BlockCopier copier(oldFile(rewrite.old, fArchive), rewrite.writer);
                for (TZLBFileRec &rec : rewrite.records)
                    copier.queue(rec);
                copier.flush();
            } catch (const std::exception &) {
                throw platform::Error(msg::unableToOpen(fArchive));
            }
        });
    } catch (...) {
        // The registry is read back from the file that is (still) on disk.
        if (!wasNew) {
            CloseArchive();
            OpenArchive(name);
        }
        DoProgress(ifClear, 0);
        throw;
    }
    DoProgress(ifClear, 0);
}

void TZLBArchive::RenameFileByName(const QString &Original, const QString &New)
{
    checkOpen();
    const int index = FileInArchive(Original);
    if (index < 0)
        return;
    changeArchive(false, [&](Rewrite &rewrite) {
        copyDataArea(rewrite);
        const QString form = names::archiveForm(New);
        TZLBFileRec &rec = rewrite.records[static_cast<size_t>(index)];
        setShortString(rec.name, names::filePart(form));
        // A new name without a folder gets a folder of a single "\".
        QString folder = names::folderPart(form);
        if (!folder.endsWith(u'\\'))
            folder += u'\\';
        setShortString(rec.path, folder);
    });
}

} // namespace archive
