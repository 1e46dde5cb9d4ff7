#pragma once
// TZLBArchive: opens, creates, lists, extracts from and changes ZLB archives.
//
// The component keeps the archive registry of the open archive in memory. A change never
// edits the archive in place: it writes a complete new archive into a new file beside the
// old one that has no name until it replaces the old file in one atomic step (see
// platform/file_replacement.h), and reads the result back. A crash leaves the old archive
// and nothing else. Unchanged blocks are copied as stored bytes, never
// recompressed. Events run synchronously on the caller's thread.
//
// Names: see entrynames.h. Failures: see the comment of each group below.
#include "archive/entrylookup.h"
#include "archive/zlbrecords.h"

#include <QFile>
#include <QIODevice>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace archive {

struct ArchiveIndex;
struct BlockOptions;
class BlockPipeline;

// What the current progress report is about.
enum TInternalFlags { ifOpening, ifExtracting, ifAdding, ifUpdating, ifWritingRegistry, ifClear };

class TZLBArchive
{
public:
    using TReplaceFileEvent = std::function<void(const QString &Filename, bool &Replace)>;
    using TFileExtractedEvent = std::function<void(const QString &filename)>;
    using TNotifyEvent = std::function<void(TZLBArchive &Sender)>;
    using TErrorLogEvent = std::function<void(const QString &Msg)>;
    using TProgressEvent = std::function<void(const QString &Msg, int Percentage)>;

    TZLBArchive();
    virtual ~TZLBArchive();
    TZLBArchive(const TZLBArchive &) = delete;
    TZLBArchive &operator=(const TZLBArchive &) = delete;

    // Published properties.
    TFileCompressionLevel CompressionLevel() const { return fCompressionLevel; }
    void SetCompressionLevel(TFileCompressionLevel level) { fCompressionLevel = level; }
    bool ExtractWithPath() const { return fExtractWithPath; }
    void SetExtractWithPath(bool on) { fExtractWithPath = on; }
    bool CheckCRC() const { return fCheckCRC; }
    void SetCheckCRC(bool on) { fCheckCRC = on; }
    bool SavePaths() const { return fSavePaths; }
    void SetSavePaths(bool on) { fSavePaths = on; }
    bool RecursePaths() const { return fRecursePaths; }
    void SetRecursePaths(bool on) { fRecursePaths = on; }
    // Threads that read and compress the sources of AddFiles and UpdateFiles side by side:
    // below 1 (the default) one per online processor; 1 compresses one source at a time on
    // the caller's thread while one more thread only reads the sources ahead of it. The
    // archive is byte for byte the same whatever the number, and
    // every event still runs on the caller's thread, in the same order.
    // With more than one, ExtractAll without an OnReplaceFile handler also writes its
    // files on a thread of its own while the caller's thread inflates the next ones: the
    // files, the events, their order and the failure are the same, but when an event of
    // a file is raised, a few of the files after it may be on disk already.
    int Threads() const { return fThreads; }
    void SetThreads(int threads) { fThreads = threads; }

    // Published events; none is called while the component is being destroyed.
    TReplaceFileEvent OnReplaceFile;
    TFileExtractedEvent OnFileExtracted;
    TFileExtractedEvent OnStreamExtracted;
    TNotifyEvent OnArchiveOpened;
    TErrorLogEvent OnErrorLogged;
    TProgressEvent OnProgress;

    // Public properties. ArchiveName is the absolute name, empty when none is open.
    const QString &ArchiveName() const { return fArchive; }
    int FileCount() const { return GetFileCount(); }
    TZLBFileRec Files(int index) const { return GetFileItem(index); }
    const TZLBArchiveRec &ArchiveDetails() const { return fArchiveDetails; }

    // Open, create, close. Failures are raised; after one no archive is open.
    bool OpenArchive(const QString &filename);
    void CreateArchive(const QString &filename);
    void CloseArchive();

    // Listing.
    int GetFileCount() const;
    TZLBFileRec GetFileItem(int index) const;
    int FileInArchive(const QString &filename) const;

    // Extraction; every failure is raised. Nothing is ever written outside Destination
    // (an empty Destination is the current folder).
    void ExtractAll(const QString &Destination);
    void ExtractFileByIndex(const QString &Destination, int index);
    void ExtractFileByName(const QString &Destination, const QString &Filename);
    void ExtractStreamByIndex(QIODevice &OutFile, int index);
    void ExtractStreamByName(QIODevice &OutFile, const QString &Filename);

    // Changes. The checks made before the temporary file exists are raised, and so are
    // the 2 GiB limit and a failure to put the new archive in place. Any other failure
    // leaves the archive file and the registry as they were, goes to OnErrorLogged when
    // assigned, and is not raised. AddFiles reports each file's problems (the 2 GiB limit
    // included) through OnErrorLogged and goes on. DeleteFiles raises every failure.
    void AddFile(const QString &Filename);
    void AddStream(const QString &Filename, QIODevice &InStream);
    void AddFiles(QStringList &FileList);
    void UpdateFile(const QString &FileName, int FileIndex);
    void UpdateStream(const QString &FileName, QIODevice &InStream);
    void UpdateFiles(QStringList &FileList);
    void DeleteFiles(QStringList &FileList);
    void RenameFileByName(const QString &Original, const QString &New);

    // A new, empty, uniquely named file in the user's temporary folder whose name
    // begins with "ZLB". A change writes its new archive there only when the archive's
    // folder takes no new file, and keeps a new archive there that could not replace the
    // old one. (The compressed form of a source above 20 MiB goes to a scratch file
    // without a name in the temporary folder.)
    virtual QString CreateTempFile();
    // The archive file opened for reading, to open it and to extract from it; raises
    // platform::Error when it cannot be read or is no regular file (a FIFO would block).
    // The device must be able to seek. An override may serve the bytes from elsewhere: the
    // fuzz target serves them from memory.
    virtual std::unique_ptr<QIODevice> OpenForReading(const QString &filename);
    // Appends a folder's files (and, without recursion, its sub-folder names when
    // folders are kept) to the list; with recursion a sub-folder's files come before
    // those of the folder that holds it.
    virtual void ExpandFolder(const QString &folder, QStringList &list);

private:
    class Rewrite;
    class Output;
    struct QueuedFile;
    // The folder pass under way: which items of its list ExpandFolder appended as files
    // it listed, so they are taken without another look at the disk.
    struct FolderWalk
    {
        const QStringList *list = nullptr;
        std::vector<bool> listedFiles;
    };

    void checkOpen() const;
    void checkIndex(int index) const;
    void adoptIndex(const QString &filename, ArchiveIndex &&index);
    QString sourceKey(const QString &filename) const;

    // Progress.
    void DoProgress(TInternalFlags flag, qint64 done);
    void startProgress(TInternalFlags flag, const QString &text, qint64 total);
    void reportUnit(qint64 done, qint64 total);

    // Extraction.
    quint32 ExtractEntry(int index, QIODevice &archiveFile, QIODevice &OutFile, const QString &outName);
    void reportExtracted(qint64 done, qint64 got);
    void extractToFile(QIODevice *archiveFile, Output &output, const QString &Destination, int index,
                       bool makeFolders, bool withPath, bool extractingAll);
    void fileExtracted(int index, quint32 crc, const QString &Destination, bool extractingAll);
    void extractAllQueued(QIODevice &archiveFile, Output &output, const QString &Destination);
    std::unique_ptr<QueuedFile> inflateQueued(QIODevice &archiveFile, int index) const;
    void finishQueued(const QueuedFile &file, const Output &output, const QString &Destination);
    void extractToStream(QIODevice &OutFile, int index);

    // Changes.
    void folderPass(QStringList &list);
    void changeArchive(bool raiseEveryFailure, const std::function<void(Rewrite &)> &fill);
    void commitRewrite(Rewrite &rewrite);
    QString keepCopy(QFile &newArchive);
    void copyDataArea(Rewrite &rewrite);
    BlockOptions blockOptions(const Rewrite &rewrite, const QString &sourceName);
    void storeSource(Rewrite &rewrite, QIODevice &source, const QString &sourceName, TInternalFlags flag,
                     TZLBFileRec &rec);
    void storeListed(Rewrite &rewrite, BlockPipeline *pipeline, qsizetype index, const QString &sourceName,
                     TInternalFlags flag, TZLBFileRec &rec);
    void appendRecord(Rewrite &rewrite, const TZLBFileRec &rec);
    void replaceEntry(Rewrite &rewrite, int index, QIODevice &source, const QString &sourceName);
    std::unique_ptr<BlockPipeline> startPipeline(const QStringList &sources, std::vector<bool> wanted);
    void logError(const QString &message);

    bool fNewArchive = false;
    QString fArchive;
    TZLBArchiveRec fArchiveDetails;
    std::vector<TZLBFileRec> fArchiveRegistry;
    EntryLookup fLookup;
    quint32 fDataAreaCrc = 0;
    TFileCompressionLevel fCompressionLevel = fcDefault;
    bool fExtractWithPath = false;
    bool fRecursePaths = false;
    bool fSavePaths = false;
    bool fCheckCRC = false;
    int fThreads = 0;
    TInternalFlags fProgressFlag = ifClear;
    QString fProgressText;
    qint64 fProgressTotal = 0;
    qint64 fProgressIndex = 0;
    bool fDestroying = false;
    FolderWalk *fWalk = nullptr;
};

} // namespace archive
