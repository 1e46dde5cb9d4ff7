#include "platform/codepage.h"
#include "platform/ras/networkmanager/nm_backend.h"
#include "platform/ras/ras_backend.h"
#include "platform/ras/simulated/simulated_backend.h"

#include <algorithm>

namespace platform::ras {
namespace {

// Each made on first use and never destroyed: a dial thread may still use it while the
// process ends.
Backend &simulatedBackend()
{
    static Backend *simulated = new SimulatedBackend;
    return *simulated;
}

Backend &networkManagerBackend()
{
    static Backend *networkManager = new NetworkManagerBackend;
    return *networkManager;
}

} // namespace

// Chosen at each call, so the environment decides whenever it is set.
Backend &backend()
{
    return qEnvironmentVariable("TELLVARA_RAS_BACKEND") == QLatin1String("simulated") ? simulatedBackend()
                                                                                      : networkManagerBackend();
}

bool isValidEntryName(const QString &name)
{
    static const QString forbidden = QStringLiteral("/\\[]=");
    return !name.trimmed().isEmpty() && platform::toAnsi(name).size() < qsizetype(EntryNameSize)
           && std::none_of(name.cbegin(), name.cend(), [](QChar c) { return forbidden.contains(c) || c < u' '; });
}

} // namespace platform::ras
