#include "datalink/core/data_link_document.h"

#include "platform/error.h"
#include "suite/data_link_file.h"
#include "suite/ini_reader.h"

#include <QFile>
#include <QFileInfo>

namespace datalink {
namespace {

QByteArray readDataLinkBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Error(QStringLiteral("Cannot read the data-link file %1: %2").arg(path, file.errorString()));
    if (file.size() > suite::IniFileMaxBytes)
        throw platform::Error(QStringLiteral("The file %1 is too large for a data-link file.").arg(path));
    return file.readAll();
}

} // namespace

DataLinkDocument loadDataLink(const QString &path)
{
    DataLinkDocument document{path, {}, true};
    if (!QFileInfo::exists(path))
        return document;
    const QByteArray bytes = readDataLinkBytes(path);
    if (bytes.isEmpty())
        return document;
    const std::optional<QString> text = suite::DecodeIniText(bytes);
    if (!text)
        throw platform::Error(QStringLiteral("The file %1 is no data-link file.").arg(path));
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

void saveDataLink(const QString &path, const platform::ConnectionString &connection)
{
    suite::WriteDataLinkFile(path, connection.toString());
}

} // namespace datalink
