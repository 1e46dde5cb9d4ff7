// Feeds arbitrary text to the connection-string parser: it either refuses the text with
// platform::Error or gives pairs that survive writing and parsing again unchanged; the
// provider mapping then either maps them or refuses them with platform::Error.
#include "platform/connection_string.h"
#include "platform/error.h"
#include "platform/qtsql/provider_mapping.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool samePairs(const platform::ConnectionString &a, const platform::ConnectionString &b)
{
    if (a.properties().size() != b.properties().size())
        return false;
    for (qsizetype i = 0; i < a.properties().size(); ++i) {
        if (a.properties().at(i).name != b.properties().at(i).name
            || a.properties().at(i).value != b.properties().at(i).value)
            return false;
    }
    return true;
}

QList<platform::qtsql::OdbcDriver> drivers()
{
    return {{QStringLiteral("FreeTDS"), QStringLiteral("libtdsodbc.so")}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    platform::ConnectionString parsed;
    try {
        parsed = platform::ConnectionString::parse(text);
    } catch (const platform::Error &) {
        return 0;
    }
    if (!samePairs(parsed, platform::ConnectionString::parse(parsed.toString())))
        std::abort();
    try {
        platform::qtsql::mapConnectionString(parsed, drivers);
    } catch (const platform::Error &) {
    }
    return 0;
}
