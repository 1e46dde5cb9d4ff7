#pragma once
// Small checks the file-handling tests share: the message an operation fails with, and
// what lies at a path without following a link there.
#include "platform/error.h"

#include <QFile>
#include <QString>

#include <functional>

#include <sys/stat.h>

namespace testenv {

// The message of the platform::Error the call raised; empty when it raised none.
inline QString errorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const platform::Error &e) {
        return e.message();
    }
    return QString();
}

// The permission bits of what lies at path (0 when nothing does).
inline unsigned modeOf(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

inline bool isLink(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace testenv
