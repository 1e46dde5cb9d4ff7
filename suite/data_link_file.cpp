#include "suite/data_link_file.h"

#include "platform/error.h"
#include "platform/password_mask.h"
#include "suite/ini_reader.h"

namespace suite {
namespace {

const QString ProviderPrefix = QStringLiteral("Provider=");

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
    if (!connectionString.startsWith(ProviderPrefix, Qt::CaseInsensitive))
        throw platform::Error(QStringLiteral("A connection string must begin with \"Provider=\": ")
                              + platform::maskPasswords(connectionString));
    if (connectionString.contains(u'\r') || connectionString.contains(u'\n'))
        throw platform::Error(QStringLiteral("A connection string must be one line."));
    // The readers keep no more; a longer one would be saved and then read cut short.
    const qsizetype length = connectionString.size() - ProviderPrefix.size();
    if (length > IniValueMaxLength)
        throw platform::Error(QStringLiteral("The connection string is %1 characters long after \"Provider=\"; "
                                             "a data link holds at most %2.")
                                  .arg(length)
                                  .arg(IniValueMaxLength));
}

} // namespace

unsigned DataLinkFileMode(const QString &connectionString)
{
    return platform::holdsPassword(connectionString) ? 0660 : 0664;
}

QByteArray DataLinkFileBytes(const QString &connectionString)
{
    checkConnectionString(connectionString);
    const QString text = QStringLiteral("[oledb]\r\n"
                                        "; Everything after this line is an OLE DB initstring\r\n")
        + connectionString + QStringLiteral("\r\n");
    return utf16LeWithMark(text);
}

void WriteDataLinkFile(const QString &path, const QString &connectionString, platform::FileSaving saving)
{
    const QByteArray bytes = DataLinkFileBytes(connectionString);
    platform::saveFileInFolder(path, bytes, DataLinkFileMode(connectionString), saving);
}

} // namespace suite
