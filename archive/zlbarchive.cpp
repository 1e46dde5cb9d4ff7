// TZLBArchive: construction, opening, creating, closing, listing, progress and the two
// virtual operations. Extraction and changes live in zlbarchive_extract.cpp and
// zlbarchive_change.cpp.
#include "archive/zlbarchive.h"

#include "archive/archiveindex.h"
#include "archive/entrynames.h"
#include "archive/zlbmessages.h"
#include "platform/error.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>


namespace archive {
namespace {

// round(done / total * 100) with halves going to the even neighbour, in exact integer
// arithmetic: a double quotient such as 109/200 lands just above or below the half.
int percentOf(qint64 done, qint64 total)
{
    const qint64 scaled = done * 100;
    qint64 percent = scaled / total;
    const qint64 twiceRest = 2 * (scaled % total);
    if (twiceRest > total || (twiceRest == total && percent % 2 != 0))
        ++percent;
    return static_cast<int>(percent);
}

} // namespace

TZLBArchive::TZLBArchive() = default;

TZLBArchive::~TZLBArchive()
{
    fDestroying = true;
    CloseArchive();
}

bool TZLBArchive::OpenArchive(const QString &filename)
{
    CloseArchive();
    if (filename.isEmpty())
        return false;
    const QString name = QFileInfo(filename).absoluteFilePath();
    std::unique_ptr<QIODevice> file;
    try {
        file = OpenForReading(name);
    } catch (const platform::Error &) {
        // Asked only now, so an archive that opens costs no look-up of its own.
        if (!QFileInfo::exists(name))
            throw platform::Error(msg::archiveNotFound());
        throw platform::Error(msg::unableToOpen(filename));
    }
    startProgress(ifOpening, msg::extractingRegistry(), 0);
    ArchiveIndex index = readArchiveIndex(*file, [this](qint64 done, qint64 total) { reportUnit(done, total); });
    adoptIndex(name, std::move(index));
    if (OnArchiveOpened && !fDestroying)
        OnArchiveOpened(*this);
    DoProgress(ifClear, 0);
    return true;
}

void TZLBArchive::CreateArchive(const QString &filename)
{
    CloseArchive();
    if (filename.isEmpty())
        return;
    const QFileInfo info(filename);
    if (info.exists() || info.isSymLink())
        throw platform::Error(msg::fileAlreadyExists());
    fArchive = info.absoluteFilePath();
    fNewArchive = true;
    if (OnArchiveOpened && !fDestroying)
        OnArchiveOpened(*this);
}

void TZLBArchive::CloseArchive()
{
    // Its memory too: reopening after a change reads the new registry right after this.
    std::vector<TZLBFileRec>().swap(fArchiveRegistry);
    fLookup.rebuild(fArchiveRegistry);
    fNewArchive = false;
    fArchiveDetails = TZLBArchiveRec();
    fDataAreaCrc = 0;
    fArchive.clear();
    DoProgress(ifClear, 0);
}

void TZLBArchive::adoptIndex(const QString &filename, ArchiveIndex &&index)
{
    fArchive = filename;
    fArchiveDetails = index.details;
    fArchiveRegistry = std::move(index.records);
    fDataAreaCrc = index.dataAreaCrc;
    fLookup.rebuild(fArchiveRegistry);
}

void TZLBArchive::checkOpen() const
{
    if (fArchive.isEmpty())
        throw platform::Error(msg::noArchiveOpen());
}

void TZLBArchive::checkIndex(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= fArchiveRegistry.size())
        throw platform::Error(msg::indexOutOfBounds());
}

int TZLBArchive::GetFileCount() const
{
    checkOpen();
    return static_cast<int>(fArchiveRegistry.size());
}

TZLBFileRec TZLBArchive::GetFileItem(int index) const
{
    checkIndex(index);
    return fArchiveRegistry[static_cast<size_t>(index)];
}

int TZLBArchive::FileInArchive(const QString &filename) const
{
    checkOpen();
    const QString form = names::archiveForm(filename);
    const QString folder = names::folderPart(form);
    return fLookup.find(fArchiveRegistry, (fSavePaths ? names::withoutDrive(folder) : folder) + names::filePart(form));
}

void TZLBArchive::startProgress(TInternalFlags flag, const QString &text, qint64 total)
{
    fProgressFlag = flag;
    fProgressText = text;
    fProgressTotal = total;
    fProgressIndex = 0;
}

void TZLBArchive::reportUnit(qint64 done, qint64 total)
{
    fProgressTotal = total;
    DoProgress(fProgressFlag, done);
}

void TZLBArchive::DoProgress(TInternalFlags flag, qint64 done)
{
    if (fDestroying || !OnProgress)
        return;
    if (flag == ifClear) {
        OnProgress(fArchive, 0);
        return;
    }
    fProgressIndex = done;
    if (fProgressTotal <= 0)
        return;
    OnProgress(fProgressText, percentOf(done, fProgressTotal));
}

QString TZLBArchive::CreateTempFile()
{
    QTemporaryFile file(QDir::tempPath() + QLatin1String("/ZLBXXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        throw platform::Error(msg::unableToCreate(QDir::tempPath() + QLatin1String(": ") + file.errorString()));
    return file.fileName();
}

std::unique_ptr<QIODevice> TZLBArchive::OpenForReading(const QString &filename)
{
    auto file = std::make_unique<QFile>(filename);
    if (!QFileInfo(filename).isFile() || !file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw platform::Error(msg::unableToOpen(filename));
    return file;
}

void TZLBArchive::ExpandFolder(const QString &folder, QStringList &list)
{
    QString base = folder;
    if (base.endsWith(u'/'))
        base.chop(1);
    QStringList collected;
    // Hidden files count; FIFOs, sockets and devices do not (reading one could block).
    QDirIterator it(base.isEmpty() ? QStringLiteral("/") : base, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        const QString name = base + u'/' + entry.fileName();
        if (!entry.isDir()) {
            collected.append(name);
            continue;
        }
        // A linked folder is left alone: following it could loop for ever.
        if (entry.isSymLink())
            continue;
        // A sub-folder's files reach the list before this folder's own, so the entries
        // lie deepest first. A folder expanded here is not queued as well, or the folder
        // pass would expand it a second time and store its files twice.
        if (fRecursePaths)
            ExpandFolder(name, list);
        else if (fSavePaths)
            collected.append(name);
    }
    list.append(collected);
    // The folder pass need not look at these again; only files were collected when recursing.
    if (fWalk && fWalk->list == &list && fRecursePaths) {
        fWalk->listedFiles.resize(static_cast<size_t>(list.size()), false);
        std::fill(fWalk->listedFiles.end() - collected.size(), fWalk->listedFiles.end(), true);
    }
}

} // namespace archive
