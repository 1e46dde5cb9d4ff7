#include "platform/filereplace.h"

#include "platform/filecopy.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray nativeName(const QString &name)
{
    return QFile::encodeName(name);
}

// The mode a new file gets from open(..., 0666) under the current umask.
mode_t defaultMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

mode_t modeFor(const QString &target)
{
    struct stat info {};
    if (::stat(nativeName(target).constData(), &info) == 0)
        return info.st_mode & 07777;
    return defaultMode();
}

bool syncFolderOf(const QString &file)
{
    const int fd = ::open(nativeName(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool prepare(const QString &file, mode_t mode, QString *error)
{
    const int fd = ::open(nativeName(file).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0 || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
        *error = systemError(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

// Copies the replacement into a new file beside the target, for a rename across file
// systems; returns its name, or an empty name with *error set.
QString copyBeside(const QString &replacement, const QString &target, QString *error)
{
    QByteArray pattern = nativeName(QFileInfo(target).absolutePath() + QLatin1String("/.")
                                    + QFileInfo(target).fileName() + QLatin1String(".XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        *error = systemError(errno);
        return {};
    }
    const QString copyName = QFile::decodeName(pattern);
    QFile source(replacement);
    QFile copy;
    bool ok = source.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
              && copy.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    if (!ok)
        *error = source.isOpen() ? copy.errorString() : source.errorString();
    else
        ok = copyFileRange(source, 0, copy, 0, source.size(), error);
    if (!copy.isOpen())
        ::close(fd);
    copy.close();
    if (!ok) {
        ::unlink(pattern.constData());
        return {};
    }
    return copyName;
}

} // namespace

bool replaceFile(const QString &replacement, const QString &target, QString *error)
{
    QString failure;
    const QFileInfo targetInfo(target);
    const QString finalName = targetInfo.isSymLink() && targetInfo.exists() ? targetInfo.canonicalFilePath() : target;
    const mode_t mode = modeFor(finalName);
    if (!prepare(replacement, mode, &failure)) {
        *error = failure;
        return false;
    }
    if (::rename(nativeName(replacement).constData(), nativeName(finalName).constData()) == 0) {
        syncFolderOf(finalName);
        return true;
    }
    if (errno != EXDEV) {
        *error = systemError(errno);
        return false;
    }
    const QString beside = copyBeside(replacement, finalName, &failure);
    if (beside.isEmpty() || !prepare(beside, mode, &failure)
        || ::rename(nativeName(beside).constData(), nativeName(finalName).constData()) != 0) {
        if (failure.isEmpty())
            failure = systemError(errno);
        if (!beside.isEmpty())
            ::unlink(nativeName(beside).constData());
        *error = failure;
        return false;
    }
    syncFolderOf(finalName);
    ::unlink(nativeName(replacement).constData());
    return true;
}

} // namespace platform
