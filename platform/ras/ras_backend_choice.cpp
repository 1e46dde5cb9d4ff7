#include "platform/codepage.h"
#include "platform/ras/networkmanager/nm_backend.h"
#include "platform/ras/ras_backend.h"
#include "platform/ras/simulated/simulated_backend.h"

#include <algorithm>

namespace platform::ras {

Backend &backend()
{
    // Never destroyed: a dial thread may still use it while the process ends.
    static Backend *chosen = qEnvironmentVariable("TELLVARA_RAS_BACKEND") == QLatin1String("simulated")
                                 ? static_cast<Backend *>(new SimulatedBackend)
                                 : static_cast<Backend *>(new NetworkManagerBackend);
    return *chosen;
}

bool isValidEntryName(const QString &name)
{
    static const QString forbidden = QStringLiteral("/\\[]=");
    return !name.trimmed().isEmpty() && platform::toAnsi(name).size() < qsizetype(EntryNameSize)
           && std::none_of(name.cbegin(), name.cend(), [](QChar c) { return forbidden.contains(c) || c < u' '; });
}

} // namespace platform::ras
