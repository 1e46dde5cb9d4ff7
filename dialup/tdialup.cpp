#include "dialup/tdialup.h"

#include "dialup/perf_data_walker.h"
#include "dialup/ras_binding.h"
#include "platform/ras_text.h"
#include "platform/performance_data.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace dialup {

using namespace platform::ras;

std::uint32_t PerfDataBufferSize = 0;

namespace {

constexpr std::size_t ErrorTextBuffer = 100;

// The component that receives notifications of asynchronous dialling. The mutex is held
// while a notifier writes into it, so a component's destructor, which detaches it under
// the same mutex, never leaves a notifier writing into freed memory.
std::mutex DialingMutex;
TDialUp *DialingComponent = nullptr;

// Passwords do not stay in memory longer than the call needs them.
void wipe(DialParamsA &params)
{
    volatile char *p = params.password;
    for (std::size_t i = 0; i < sizeof params.password; ++i)
        p[i] = 0;
}

void processPendingEvents()
{
    QCoreApplication::processEvents();
}

} // namespace

TDialUp::TDialUp(QObject *AOwner)
    : QObject(AOwner)
    , FTimer(new QTimer(this))
{
    FTimer->setInterval(1);
    FTimer->setSingleShot(false);
    connect(FTimer, &QTimer::timeout, this, [this] { DeliverAsyncEvent(); });
    SearchDUNA();
}

TDialUp::~TDialUp()
{
    std::lock_guard lock(DialingMutex);
    if (DialingComponent == this)
        DialingComponent = nullptr;
}

void RasDialNotifier(unsigned message, Dword state, Dword error)
{
    for (;;) {
        {
            std::lock_guard lock(DialingMutex);
            TDialUp *component = DialingComponent;
            if (!component)
                return; // nobody listens any more
            if (!component->AsyncStatus.load(std::memory_order_acquire)) {
                component->AMsg = message;
                component->AState = state;
                component->AError = error;
                component->AsyncStatus.store(true, std::memory_order_release);
                QMetaObject::invokeMethod(component->FTimer, qOverload<>(&QTimer::start), Qt::QueuedConnection);
                return;
            }
        }
        // The previous notification has not been delivered yet.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void TDialUp::DeliverAsyncEvent()
{
    FTimer->stop();
    if (!AsyncStatus.load(std::memory_order_acquire))
        return;
    const auto clear = qScopeGuard([this] { AsyncStatus.store(false, std::memory_order_release); });
    const int state = int(AState);
    const int error = int(AError);
    const QString text = StatusText(state, error);
    if (OnAsyncEvent)
        OnAsyncEvent(*this, state, error, text);
}

int TDialUp::ReadDialParams(DialParamsA &params)
{
    params = DialParamsA{};
    params.size = sizeof(DialParamsA);
    toField(params.entryName, sizeof params.entryName, FEntry2Dial);
    int passwordReturned = 0;
    return int(CallRas<RasGetEntryDialParamsAFn>("RasGetEntryDialParamsA", nullptr, &params, &passwordReturned));
}

int TDialUp::Dial()
{
    CallRas<RasHangUpAFn>("RasHangUpA", hRAS);
    DialParamsA params;
    const auto clean = qScopeGuard([&] { wipe(params); });
    if (const int result = ReadDialParams(params); result != 0) {
        if (OnError)
            OnError(*this, result, QStringLiteral("GetEntryDialParams failed"));
        return result;
    }
    hRAS = 0;
    int result = 0;
    if (FDialMode == dmSync) {
        if (OnDialing)
            OnDialing(*this);
        result = int(CallRas<RasDialAFn>("RasDialA", nullptr, nullptr, &params, Dword(0), nullptr, &hRAS));
        if (result != 0) {
            if (hRAS != 0)
                CallRas<RasHangUpAFn>("RasHangUpA", hRAS);
            const QString text = PlatformErrorText(result);
            if (OnNotConnected)
                OnNotConnected(*this, result, text);
        } else if (OnConnect) {
            OnConnect(*this);
        }
    } else {
        {
            std::lock_guard lock(DialingMutex);
            DialingComponent = this;
        }
        if (OnDialing)
            OnDialing(*this);
        result = int(CallRas<RasDialAFn>("RasDialA", nullptr, nullptr, &params, Dword(0),
                                         reinterpret_cast<void *>(&RasDialNotifier), &hRAS));
        if (result != 0 && OnError)
            OnError(*this, result, PlatformErrorText(result));
    }
    return result;
}

int TDialUp::GetEntries()
{
    FEntries.clear();
    std::vector<EntryNameA> entries(MaxListed);
    entries[0].size = sizeof(EntryNameA);
    Dword bytes = Dword(entries.size() * sizeof(EntryNameA));
    Dword count = 0;
    const Dword result = CallRas<RasEnumEntriesAFn>("RasEnumEntriesA", nullptr, nullptr, entries.data(), &bytes, &count);
    if (result != 0)
        return int(result);
    for (Dword i = 0; i < std::min(count, MaxListed); ++i) {
        FEntries << fromField(entries[i].entryName, sizeof entries[i].entryName);
        if (OnEntryGet)
            OnEntryGet(*this, entries[i].entryName);
    }
    return 0;
}

int TDialUp::GetConnections()
{
    std::vector<ConnA> connections(MaxListed);
    connections[0].size = sizeof(ConnA);
    Dword bytes = Dword(connections.size() * sizeof(ConnA));
    Dword count = 0;
    const Dword result = CallRas<RasEnumConnectionsAFn>("RasEnumConnectionsA", connections.data(), &bytes, &count);
    if (result != 0)
        return int(result);
    for (Dword i = 0; i < std::min(count, MaxListed); ++i) {
        const ConnA &c = connections[i];
        TRasConnStatusA status{};
        status.size = sizeof status;
        // A status that cannot be read shows its own error rather than a made-up state.
        if (const Dword error = CallRas<RasGetConnectStatusAFn>("RasGetConnectStatusA", c.handle, &status); error != 0)
            status.error = error;
        const QString text = StatusText(int(status.state), int(status.error));
        if (OnActiveConnection)
            OnActiveConnection(*this, int(c.handle), status, text, c.entryName, c.deviceType, c.deviceName);
    }
    return 0;
}

int TDialUp::HangUp()
{
    return int(CallRas<RasHangUpAFn>("RasHangUpA", hRAS));
}

int TDialUp::HangUpConn(int Handle)
{
    return int(CallRas<RasHangUpAFn>("RasHangUpA", static_cast<platform::ras::Handle>(Handle)));
}

int TDialUp::CreateEntry()
{
    const std::uintptr_t window = OwnerWindow ? OwnerWindow() : 0;
    return int(CallRas<RasCreatePhonebookEntryAFn>("RasCreatePhonebookEntryA", window, nullptr));
}

int TDialUp::EditEntry()
{
    const std::uintptr_t window = OwnerWindow ? OwnerWindow() : 0;
    std::array<char, EntryNameSize> entry{};
    toField(entry.data(), entry.size(), FEntry2Dial);
    return int(CallRas<RasEditPhonebookEntryAFn>("RasEditPhonebookEntryA", window, nullptr, entry.data()));
}

int TDialUp::DeleteEntry()
{
    std::array<char, EntryNameSize> entry{};
    toField(entry.data(), entry.size(), FEntry2Dial);
    return int(CallRas<RasDeleteEntryAFn>("RasDeleteEntry", nullptr, entry.data()));
}

int TDialUp::RenameEntryTo(const QString &S)
{
    std::array<char, EntryNameSize> from{};
    std::array<char, EntryNameSize> to{};
    toField(from.data(), from.size(), FEntry2Dial);
    toField(to.data(), to.size(), S);
    return int(CallRas<RasRenameEntryAFn>("RasRenameEntry", nullptr, from.data(), to.data()));
}

int TDialUp::ChangeDialParams(const std::function<void(DialParamsA &)> &change)
{
    DialParamsA params;
    const auto clean = qScopeGuard([&] { wipe(params); });
    if (const int result = ReadDialParams(params); result != 0)
        return result;
    change(params);
    return int(CallRas<RasSetEntryDialParamsAFn>("RasSetEntryDialParamsA", nullptr, &params, 0));
}

int TDialUp::SetEntryUserName(const QString &Value)
{
    return ChangeDialParams([&](DialParamsA &p) { toField(p.userName, sizeof p.userName, Value); });
}

int TDialUp::SetEntryPassword(const QString &Value)
{
    return ChangeDialParams([&](DialParamsA &p) { toField(p.password, sizeof p.password, Value); });
}

int TDialUp::RemovePassword()
{
    DialParamsA params{};
    params.size = sizeof(DialParamsA);
    toField(params.entryName, sizeof params.entryName, FEntry2Dial);
    return int(CallRas<RasSetEntryDialParamsAFn>("RasSetEntryDialParamsA", nullptr, &params, 1));
}

int TDialUp::GetEntryUserName(QString &Value)
{
    DialParamsA params;
    const auto clean = qScopeGuard([&] { wipe(params); });
    const int result = ReadDialParams(params);
    if (result == 0)
        Value = fromField(params.userName, sizeof params.userName);
    return result;
}

int TDialUp::GetEntryPassword(QString &Value)
{
    DialParamsA params{};
    const auto clean = qScopeGuard([&] { wipe(params); });
    params.size = sizeof(DialParamsA);
    toField(params.entryName, sizeof params.entryName, FEntry2Dial);
    int passwordReturned = 0;
    const Dword result = CallRas<RasGetEntryDialParamsAFn>("RasGetEntryDialParamsA", nullptr, &params, &passwordReturned);
    if (result != 0)
        return int(result);
    Value = passwordReturned ? fromField(params.password, sizeof params.password) : QString();
    return 0;
}

QString TDialUp::PlatformErrorText(int Error)
{
    std::array<char, ErrorTextBuffer> text{};
    CallRas<RasGetErrorStringAFn>("RasGetErrorStringA", unsigned(Error), text.data(), Dword(text.size()));
    return fromField(text.data(), text.size());
}

QString TDialUp::StatusString(int State, int Error)
{
    return Error != 0 ? PlatformErrorText(Error) : StateText(English, unsigned(State));
}

QString TDialUp::StatusStringCZ(int State, int Error)
{
    return Error != 0 ? PlatformErrorText(Error) : StateText(Czech, unsigned(State));
}

QString TDialUp::StatusStringPO(int State, int Error)
{
    return Error != 0 ? PlatformErrorText(Error) : StateText(Portuguese, unsigned(State));
}

QString TDialUp::StatusText(int State, int Error)
{
    switch (FLanguage) {
    case Czech:
        return StatusStringCZ(State, Error);
    case Portuguese:
        return StatusStringPO(State, Error);
    case English:
        break;
    }
    return StatusString(State, Error);
}

int TDialUp::GetIP(int HRC)
{
    FSIP.clear();
    FCIP.clear();
    if (HRC == 0)
        return 0;
    PppIpA ip{};
    ip.size = sizeof ip;
    Dword bytes = sizeof ip;
    const Dword result = CallRas<RasGetProjectionInfoAFn>("RasGetProjectionInfoA", static_cast<platform::ras::Handle>(HRC), PppIpProjection,
                                                          static_cast<void *>(&ip), &bytes);
    if (result == 0) {
        FCIP = fromField(ip.ipAddress, sizeof ip.ipAddress);
        FSIP = fromField(ip.serverIpAddress, sizeof ip.serverIpAddress);
    }
    return int(result);
}

// Linux is not of the family that keeps dial-up adapter statistics apart.
bool TDialUp::SearchDUNA()
{
    return false;
}

bool TDialUp::InitializePerfStats(bool start, bool search)
{
    Q_UNUSED(search) // only the other family searches for adapters
    bool result = true;
    if (start)
        result = GetPerfStats();
    ResetStatsBaseline();
    return result;
}

void TDialUp::ResetStatsBaseline()
{
    FStatsXmitCon = FStatsXmitTot;
    FStatsRecvCon = FStatsRecvTot;
    FStatsXmit = 0;
    FStatsRecv = 0;
}

bool TDialUp::GetPerfStats()
{
    if (PerfDataBufferSize == 0)
        PerfDataBufferSize = 8192;
    QByteArray block;
    for (;;) {
        block.resize(qsizetype(PerfDataBufferSize));
        Dword size = PerfDataBufferSize;
        const Dword result = platform::perf::queryPerformanceData(QStringLiteral("906"), block.data(), size);
        if (result == ErrorMoreData) {
            // A source that never fits must not take all memory.
            if (PerfDataBufferSize > MaxPerfDataBufferSize - 1024)
                return false;
            PerfDataBufferSize += 1024;
            continue;
        }
        if (result != 0)
            return false;
        block.resize(qsizetype(size));
        break;
    }
    PerfByteCounters counters{FStatsXmit, FStatsRecv};
    if (!WalkPerfData(block, counters, processPendingEvents))
        return false;
    FStatsXmit = counters.sent;
    FStatsRecv = counters.received;
    return true;
}

} // namespace dialup
