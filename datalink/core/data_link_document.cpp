#include "datalink/core/data_link_document.h"

#include "platform/error.h"
#include "platform/folder_file.h"
#include "suite/data_link_file.h"
#include "suite/ini_reader.h"

namespace datalink {

DataLinkDocument loadDataLink(const QString &path)
{
    return readDataLink(path, platform::readFileInFolder(path, suite::IniFileMaxBytes));
}

DataLinkDocument readDataLink(const QString &path, const std::optional<QByteArray> &bytes)
{
    DataLinkDocument document{path, {}, true, false};
    if (!bytes)
        return document;
    document.exists = true;
    if (bytes->isEmpty())
        return document;
    const std::optional<QString> text = suite::DecodeIniText(*bytes);
    if (!text)
        throw platform::Error(QStringLiteral("The file %1 is no data-link file.").arg(path));
    if (!suite::DecodesFaithfully(*bytes))
        throw platform::Error(QStringLiteral("The file %1 holds bytes that are no UTF-8 although it is marked as "
                                             "UTF-8; it is left as it is, since saving would change them.")
                                  .arg(path));
    const QString value = suite::FindIniValue(*text, QStringLiteral("oledb"), QStringLiteral("Provider"));
    try {
        if (!value.isEmpty())
            document.connection = platform::ConnectionString::parse(QStringLiteral("Provider=") + value);
    } catch (const platform::Error &e) {
        throw platform::Error(QStringLiteral("The data-link file %1 holds no usable connection string: %2")
                                  .arg(path, e.message()));
    }
    document.isNew = false;
    return document;
}

void saveDataLink(const DataLinkDocument &document, const platform::ConnectionString &connection)
{
    // A file that was missing is made new: whatever appeared at its name meanwhile stays.
    suite::WriteDataLinkFile(document.path, connection.toString(),
                             document.exists ? platform::FileSaving::ReplaceExisting : platform::FileSaving::NewOnly);
}

} // namespace datalink
