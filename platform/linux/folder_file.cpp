#include "platform/folder_file.h"

#include "platform/error.h"
#include "platform/linux/registry_files_p.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

using registry::UniqueFd;

constexpr int TempAttempts = 16;

QString reasonOf(int code)
{
    switch (code) {
    case ELOOP:
        return QStringLiteral("it is a symbolic link, which is never followed nor replaced");
    case EINVAL:
    case EISDIR:
        return QStringLiteral("it is not a regular file");
    case EEXIST:
        return QStringLiteral("it exists already");
    case ESTALE:
        return QStringLiteral("someone else replaced it while it was saved");
    default:
        return QString::fromLocal8Bit(std::strerror(code));
    }
}

[[noreturn]] void fail(const char *what, const QString &path, const QString &reason)
{
    throw Error(QStringLiteral("Cannot %1 %2: %3").arg(QLatin1String(what), path, reason));
}

struct Place
{
    UniqueFd folder;
    QByteArray name;
};

Place placeOf(const QString &path, const char *what)
{
    const QFileInfo info(path);
    Place place{UniqueFd(::open(QFile::encodeName(info.absolutePath()).constData(),
                                O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
                QFile::encodeName(info.fileName())};
    if (!place.folder)
        fail(what, path, reasonOf(errno));
    if (place.name.isEmpty())
        fail(what, path, reasonOf(EISDIR));
    return place;
}

// 0 when nothing is there, else ENOENT's opposite: what stands in the way of the save.
int obstacleAt(const Place &place, FileSaving saving)
{
    struct stat st {};
    if (::fstatat(place.folder.get(), place.name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    if (saving == FileSaving::NewOnly)
        return EEXIST;
    if (S_ISLNK(st.st_mode))
        return ELOOP;
    return S_ISREG(st.st_mode) ? 0 : EINVAL;
}

QByteArray tempName()
{
    return ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
}

// The file being written: without a name where the file system can, else under a fresh
// name no one could have planted (O_EXCL, and no link followed).
struct Written
{
    UniqueFd fd;
    QByteArray tempName; // empty while the file has no name
};

Written createWritten(const Place &place)
{
    Written written{UniqueFd(::openat(place.folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)), {}};
    if (written.fd || (errno != EOPNOTSUPP && errno != EISDIR))
        return written;
    for (int attempt = 0; attempt < TempAttempts; ++attempt) {
        written.tempName = tempName();
        written.fd = UniqueFd(::openat(place.folder.get(), written.tempName.constData(),
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (written.fd || errno != EEXIST)
            break;
    }
    return written;
}

int fill(const Written &written, const QByteArray &bytes, unsigned mode)
{
    QFile out;
    if (!out.open(written.fd.get(), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)
        || out.write(bytes) != bytes.size())
        return errno ? errno : EIO;
    out.close();
    if (::fchmod(written.fd.get(), mode_t(mode)) != 0 || ::fsync(written.fd.get()) != 0)
        return errno;
    return 0;
}

// Gives the nameless file a name in the folder; EEXIST when the name is taken.
int linkUnnamed(const Written &written, const Place &place, const QByteArray &name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(written.fd.get());
    return ::linkat(AT_FDCWD, self.constData(), place.folder.get(), name.constData(), AT_SYMLINK_FOLLOW) == 0 ? 0
                                                                                                             : errno;
}

// A name of its own for the written file, to rename over the target from.
int nameWritten(Written &written, const Place &place)
{
    if (!written.tempName.isEmpty())
        return 0;
    for (int attempt = 0; attempt < TempAttempts; ++attempt) {
        written.tempName = tempName();
        const int error = linkUnnamed(written, place, written.tempName);
        if (error != EEXIST) {
            if (error)
                written.tempName.clear();
            return error;
        }
    }
    written.tempName.clear();
    return EEXIST;
}

int putInPlace(Written &written, const Place &place, FileSaving saving)
{
    if (saving == FileSaving::NewOnly) {
        if (written.tempName.isEmpty())
            return linkUnnamed(written, place, place.name);
        // A hard link, unlike a rename, never replaces what is at the name.
        return ::linkat(place.folder.get(), written.tempName.constData(), place.folder.get(), place.name.constData(), 0)
                == 0
            ? 0
            : errno;
    }
    if (const int error = nameWritten(written, place))
        return error;
    if (::renameat(place.folder.get(), written.tempName.constData(), place.folder.get(), place.name.constData()) != 0)
        return errno;
    written.tempName.clear();
    return 0;
}

// Whether the entry now at the name is the file written, and not something swapped in
// for its temporary name.
int checkInPlace(const Written &written, const Place &place)
{
    struct stat mine {};
    struct stat there {};
    if (::fstat(written.fd.get(), &mine) != 0)
        return errno;
    if (::fstatat(place.folder.get(), place.name.constData(), &there, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? ESTALE : errno;
    return mine.st_dev == there.st_dev && mine.st_ino == there.st_ino ? 0 : ESTALE;
}

} // namespace

std::optional<QByteArray> readFileInFolder(const QString &path, qint64 maxBytes)
{
    const Place place = placeOf(path, "read");
    QByteArray bytes;
    const int error = registry::readFile(place.folder.get(), place.name, qsizetype(maxBytes), bytes);
    if (error == ENOENT)
        return std::nullopt;
    if (error == EFBIG)
        fail("read", path, QStringLiteral("it is larger than %1 bytes").arg(maxBytes));
    if (error)
        fail("read", path, reasonOf(error));
    return bytes;
}

void saveFileInFolder(const QString &path, const QByteArray &bytes, unsigned mode, FileSaving saving)
{
    const Place place = placeOf(path, "save");
    if (const int error = obstacleAt(place, saving))
        fail("save", path, reasonOf(error));
    Written written = createWritten(place);
    if (!written.fd)
        fail("save", path, reasonOf(errno));
    int error = fill(written, bytes, mode);
    if (!error)
        error = putInPlace(written, place, saving);
    if (!written.tempName.isEmpty())
        ::unlinkat(place.folder.get(), written.tempName.constData(), 0);
    if (!error)
        error = checkInPlace(written, place);
    if (!error && ::fsync(place.folder.get()) != 0)
        error = errno;
    if (error)
        fail("save", path, reasonOf(error));
}

} // namespace platform
