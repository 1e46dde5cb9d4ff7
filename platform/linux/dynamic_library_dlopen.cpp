#include "platform/dynamic_library.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <unistd.h>

#ifndef VARDO_RAS_LIBRARY_DIR
#define VARDO_RAS_LIBRARY_DIR "/usr/lib/tellvara"
#endif

namespace platform {
namespace {

// The folder of the running program, without QCoreApplication so a library can ask too.
QString programDir()
{
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    return QFileInfo(QString::fromLocal8Bit(path, length)).absolutePath();
}

} // namespace

LibraryHandle openLibrary(const QString &path)
{
    if (!QFileInfo(path).isAbsolute())
        return nullptr;
    return ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
}

void *librarySymbol(LibraryHandle library, const char *name)
{
    return library ? ::dlsym(library, name) : nullptr;
}

void closeLibrary(LibraryHandle library)
{
    if (library)
        ::dlclose(library);
}

QString rasLibraryFileName(RasLibraryFile file)
{
    return file == RasLibraryFile::Main ? QStringLiteral("libtellvara-rasapi.so")
                                        : QStringLiteral("libtellvara-rnaph.so");
}

QStringList rasLibraryCandidates(RasLibraryFile file)
{
    const QString name = rasLibraryFileName(file);
    QStringList candidates;
    if (const QString dir = programDir(); !dir.isEmpty())
        candidates << dir + QLatin1Char('/') + name;
    candidates << QStringLiteral(VARDO_RAS_LIBRARY_DIR "/") + name;
    return candidates;
}

LibraryHandle openRasLibrary(RasLibraryFile file)
{
    for (const QString &path : rasLibraryCandidates(file)) {
        if (LibraryHandle library = openLibrary(path))
            return library;
    }
    return nullptr;
}

} // namespace platform
