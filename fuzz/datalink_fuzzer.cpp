// Reads arbitrary bytes as a data-link (.udl) file the way the data-link editor opens
// one: UTF-16 with its mark, UTF-8 with or without, ANSI, or refused. Whatever it opens
// must survive a save and a second opening unchanged: the connection string of the saved
// bytes is the one that was read. A crash, a sanitizer report or a changed connection
// string is a finding; a refused file is not.
#include "datalink/core/data_link_document.h"
#include "platform/error.h"
#include "suite/data_link_file.h"

#include <cstdint>
#include <cstdlib>

namespace {

const QString Name = QStringLiteral("/fuzz/input.udl");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    datalink::DataLinkDocument document;
    try {
        document = datalink::readDataLink(Name, bytes);
    } catch (const platform::Error &) {
        return 0;
    }
    if (document.isNew)
        return 0;
    const QString connection = document.connection.toString();
    QByteArray saved;
    try {
        saved = suite::DataLinkFileBytes(connection);
    } catch (const platform::Error &) {
        return 0; // too long to save: the editor refuses it the same way
    }
    const datalink::DataLinkDocument again = datalink::readDataLink(Name, saved);
    // A provider that is only an empty quoted text names nothing, as an empty "Provider="
    // does; saved, it reads back as no connection string, which means the same.
    const bool namesNothing = connection == QStringLiteral("Provider=") && again.connection.toString().isEmpty();
    if (again.isNew || (again.connection.toString() != connection && !namesNothing))
        std::abort();
    return 0;
}
