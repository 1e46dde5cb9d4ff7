#include "suite/data_link_file.h"

#include "platform/error.h"
#include "platform/filereplace.h"

#include <QFileInfo>
#include <QTemporaryFile>

namespace suite {
namespace {

QByteArray utf16LeWithMark(const QString &text)
{
    QByteArray bytes("\xFF\xFE", 2);
    bytes.reserve(2 + 2 * text.size());
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

void checkConnectionString(const QString &connectionString)
{
    if (!connectionString.startsWith(QStringLiteral("Provider="), Qt::CaseInsensitive))
        throw platform::Error(QStringLiteral("A connection string must begin with \"Provider=\": ") + connectionString);
    if (connectionString.contains(u'\r') || connectionString.contains(u'\n'))
        throw platform::Error(QStringLiteral("A connection string must be one line."));
}

} // namespace

void WriteDataLinkFile(const QString &path, const QString &connectionString)
{
    checkConnectionString(connectionString);
    const QString text = QStringLiteral("[oledb]\r\n"
                                        "; Everything after this line is an OLE DB initstring\r\n")
        + connectionString + QStringLiteral("\r\n");
    // Written beside the target, so the replacement is a rename on the same file system;
    // the hidden name never matches "*.udl" while it exists.
    const QFileInfo target(path);
    QTemporaryFile replacement(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    QString error;
    if (!replacement.open() || replacement.write(utf16LeWithMark(text)) < 0 || !replacement.flush())
        error = replacement.errorString();
    else if (platform::replaceFile(replacement.fileName(), path, &error))
        replacement.setAutoRemove(false); // renamed into place
    if (!error.isEmpty())
        throw platform::Error(QStringLiteral("Cannot write the data-link file %1: %2").arg(path, error));
}

} // namespace suite
