// Registry reads and durable writes per second. The organisation list reads two values of
// each of its 100 slots on every refresh: 200 reads that should take well under 10 ms.
#include "suite/registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int Slots = 100;
const QString OrganisationKey = QStringLiteral("SOFTWARE\\Tellvara\\Vardo-Service\\Organisation\\OrgNr");

QString slotKey(int slot)
{
    return OrganisationKey + QString::number(slot);
}

void writeSlots()
{
    for (int slot = 1; slot <= Slots; ++slot) {
        suite::WriteRegistryString(suite::RegistryRoot::LocalMachine, slotKey(slot), QStringLiteral("OrganisationsNr"),
                                   QStringLiteral("SE%1").arg(5560000000 + slot));
        suite::WriteRegistryString(suite::RegistryRoot::LocalMachine, slotKey(slot), QStringLiteral("CheckPasis"),
                                   QStringLiteral("1"));
    }
}

void BM_OrganisationListRefresh(benchmark::State &state)
{
    writeSlots();
    for (auto _ : state) {
        for (int slot = 1; slot <= Slots; ++slot) {
            benchmark::DoNotOptimize(suite::ReadRegistryString(suite::RegistryRoot::LocalMachine, slotKey(slot),
                                                               QStringLiteral("OrganisationsNr")));
            benchmark::DoNotOptimize(suite::ReadRegistryString(suite::RegistryRoot::LocalMachine, slotKey(slot),
                                                               QStringLiteral("CheckPasis")));
        }
    }
    state.SetItemsProcessed(state.iterations() * 2 * Slots);
}
BENCHMARK(BM_OrganisationListRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DurableWrite(benchmark::State &state)
{
    const QString texts[] = {QStringLiteral("8080"), QStringLiteral("8081")};
    int turn = 0;
    for (auto _ : state) {
        if (!suite::WriteRegistryString(suite::RegistryRoot::LocalMachine,
                                        QStringLiteral("SOFTWARE\\Tellvara\\Vardo-Service\\Port"),
                                        QStringLiteral("TcpIPPort"), texts[turn ^= 1])) {
            state.SkipWithError("the write failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DurableWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    // A private root, so the benchmark never touches the machine's own store.
    QTemporaryDir root;
    if (!root.isValid()) {
        std::fprintf(stderr, "cannot create a temporary root\n");
        return 1;
    }
    qputenv("TELLVARA_ROOT", QFile::encodeName(root.path() + QStringLiteral("/system")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.path() + QStringLiteral("/config")));
    qputenv("HOME", QFile::encodeName(root.path() + QStringLiteral("/home")));
    QDir().mkpath(root.path() + QStringLiteral("/system"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
