#include "platform/filesystem.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

bool statFollowingLinks(const QString &path, struct stat &info)
{
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

// "*" and "?" only, as the Windows directory search knows them; everything else literal.
QRegularExpression wildcardPattern(const QString &pattern)
{
    QString expression;
    for (const QChar c : pattern) {
        if (c == u'*')
            expression += QStringLiteral(".*");
        else if (c == u'?')
            expression += u'.';
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

QString currentDirectory()
{
    char *path = ::getcwd(nullptr, 0);
    if (!path)
        return {};
    const QString directory = QFile::decodeName(path);
    std::free(path);
    // Older C libraries answer "(unreachable)/..." for a directory outside the root.
    if (!directory.startsWith(u'/'))
        return {};
    return withTrailingSlash(directory);
}

QString withTrailingSlash(const QString &directory)
{
    if (directory.isEmpty() || directory.endsWith(u'/'))
        return directory;
    return directory + u'/';
}

bool fileExists(const QString &path)
{
    struct stat info {};
    return statFollowingLinks(path, info) && S_ISREG(info.st_mode);
}

bool directoryExists(const QString &path)
{
    struct stat info {};
    return statFollowingLinks(path, info) && S_ISDIR(info.st_mode);
}

bool createDirectoryChain(const QString &path)
{
    if (path.isEmpty())
        return false;
    QDir().mkpath(path);
    return directoryExists(path);
}

QStringList findEntries(const QString &directory, const QString &pattern)
{
    const QRegularExpression matcher = wildcardPattern(pattern);
    const QStringList names = QDir(directory).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    QStringList matching;
    for (const QString &name : names) {
        if (matcher.match(name).hasMatch())
            matching << name;
    }
    return matching;
}

} // namespace platform
