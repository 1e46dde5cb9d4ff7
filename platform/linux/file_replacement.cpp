#include "platform/file_replacement.h"

#include "platform/error.h"
#include "platform/linux/descriptor_file_p.h"
#include "platform/linux/registry_files_p.h"
#include "platform/linux/writer_temp_names_p.h"

#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

using registry::UniqueFd;

constexpr int TempAttempts = 16;
std::atomic<bool> namedOnly{false};

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

[[noreturn]] void fail(int code)
{
    throw Error(systemError(code));
}

// The file the target's name leads to: a symbolic link stays, the file behind it is replaced.
QString finalTarget(const QString &target)
{
    const QFileInfo info(target);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

// The mode a new file gets from open(..., 0666) under the current umask.
mode_t defaultMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

mode_t modeFor(int folder, const QByteArray &name)
{
    struct stat st {};
    if (::fstatat(folder, name.constData(), &st, 0) == 0)
        return st.st_mode & 07777;
    return defaultMode();
}

bool lacksUnnamedFiles(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// Regular files of this target's earlier replacements whose writer is gone.
void removeLeftovers(int folder, const QByteArray &prefix)
{
    UniqueFd listing(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR *dir = listing ? ::fdopendir(listing.get()) : nullptr;
    if (!dir)
        return; // only tidying: creating the new file reports what is wrong with the folder
    listing.release();
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        struct stat st {};
        if (writerIsGone(name, prefix).value_or(false)
            && ::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(folder, name.constData(), 0);
    }
    ::closedir(dir);
}

} // namespace

struct FileReplacement::State
{
    QString target;
    UniqueFd folder;
    QByteArray name;       // the target's entry in the folder
    QByteArray prefix;     // of this target's temporary names
    UniqueFd fd;
    QByteArray tempName;   // empty while the file has no name
    std::unique_ptr<DescriptorFile> file;

    void createUnnamed()
    {
        if (namedOnly)
            return;
        fd = UniqueFd(::openat(folder.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
        if (!fd && !lacksUnnamedFiles(errno))
            fail(errno);
    }

    void createNamed()
    {
        for (int attempt = 0; attempt < TempAttempts && !fd; ++attempt) {
            tempName = writerTempName(prefix);
            fd = UniqueFd(::openat(folder.get(), tempName.constData(),
                                   O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (!fd && errno != EEXIST)
                break;
        }
        if (!fd) {
            const int error = errno;
            tempName.clear();
            fail(error);
        }
    }

    // linkat with AT_EMPTY_PATH needs a capability; the /proc link of the descriptor does not.
    int nameUnnamed()
    {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd.get());
        for (int attempt = 0; attempt < TempAttempts; ++attempt) {
            tempName = writerTempName(prefix);
            if (::linkat(AT_FDCWD, self.constData(), folder.get(), tempName.constData(), AT_SYMLINK_FOLLOW) == 0)
                return 0;
            if (errno != EEXIST)
                break;
        }
        const int error = errno;
        tempName.clear();
        return error;
    }

    int putInPlace()
    {
        if (::fchmod(fd.get(), modeFor(folder.get(), name)) != 0 || ::fsync(fd.get()) != 0)
            return errno;
        const bool wasUnnamed = tempName.isEmpty();
        if (wasUnnamed) {
            if (const int error = nameUnnamed())
                return error;
        }
        if (::renameat(folder.get(), tempName.constData(), folder.get(), name.constData()) != 0) {
            const int error = errno;
            // An unnamed file loses the name it got for the rename; a named one keeps its own.
            if (wasUnnamed) {
                ::unlinkat(folder.get(), tempName.constData(), 0);
                tempName.clear();
            }
            return error;
        }
        tempName.clear();
        return ::fsync(folder.get()) == 0 ? 0 : errno;
    }
};

FileReplacement::FileReplacement(const QString &target)
    : m_state(std::make_unique<State>())
{
    State &st = *m_state;
    const QFileInfo info(finalTarget(target));
    st.target = target;
    st.folder = UniqueFd(::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!st.folder)
        fail(errno);
    st.name = QFile::encodeName(info.fileName());
    st.prefix = '.' + st.name + ".new-";
    removeLeftovers(st.folder.get(), st.prefix);
    st.createUnnamed();
    if (!st.fd)
        st.createNamed();
    st.file = std::make_unique<DescriptorFile>(target);
    if (!st.file->open(st.fd.get(), QIODevice::ReadWrite | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        throw Error(st.file->errorString());
}

FileReplacement::~FileReplacement()
{
    if (m_state->file)
        m_state->file->close();
    if (!m_state->tempName.isEmpty())
        ::unlinkat(m_state->folder.get(), m_state->tempName.constData(), 0);
}

QFile &FileReplacement::file()
{
    return *m_state->file;
}

void FileReplacement::commit()
{
    if (const int error = m_state->putInPlace())
        fail(error);
}

void pretendNoUnnamedFiles(bool on)
{
    namedOnly = on;
}

} // namespace platform
