#pragma once
// TDialUp: dials, lists, watches and hangs up dial-up connections through the RAS
// provider (bound on first use, see ras_binding.h), edits its phonebook entries, gives
// connection states as English, Czech or Portuguese texts and reads a connection's byte
// counters from the platform's performance data.
//
// Every operation that calls RAS returns its result code (0 for success); a RAS function
// that cannot be bound raises platform::Error. Events run on the thread that owns the
// component. Notifications of an asynchronous dial come from the provider's own thread
// and are handed to this thread through AsyncStatus and a 1 ms timer: the notifier writes
// the three fields, then sets the flag (release); the timer's handler reads the flag
// (acquire), then the fields, delivers them and clears the flag. One component at a time
// receives them (the last to start an asynchronous dial); a component that is destroyed
// stops receiving at once, and a notifier waiting for it gives up.
#include "dialup/status_texts.h"
#include "platform/ras_api.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>

class QTimer;

namespace dialup {

enum TDialMode { dmAsync = 0, dmSync = 1 };

using TRasConnStatusA = platform::ras::ConnStatusA;

class TDialUp : public QObject
{
    Q_OBJECT
public:
    using TOnEntryGet = std::function<void(TDialUp &Sender, const char *EntryName)>;
    using TStandartEv = std::function<void(TDialUp &Sender)>;
    using TOnNotConn = std::function<void(TDialUp &Sender, int ErrorCode, const QString &ErrorMessage)>;
    using TOnAsyncEvent = std::function<void(TDialUp &Sender, int State, int Error, const QString &MessageText)>;
    using TOnError = std::function<void(TDialUp &Sender, int ErrorCode, const QString &ErrorMessage)>;
    using TOnActiveConn = std::function<void(TDialUp &Sender, int Handle, const TRasConnStatusA &Status,
                                             const QString &StatusString, const char *EntryName,
                                             const char *DeviceType, const char *DeviceName)>;

    explicit TDialUp(QObject *AOwner = nullptr);
    ~TDialUp() override;

    // Published properties.
    TDialMode DialMode() const { return FDialMode; }
    void SetDialMode(TDialMode mode) { FDialMode = mode; }
    const QStringList &Entries() const { return FEntries; }
    const QString &Entry() const { return FEntry2Dial; }
    void SetEntry(const QString &entry) { FEntry2Dial = entry; }
    TLanguage Language() const { return FLanguage; }
    void SetLanguage(TLanguage language) { FLanguage = language; }
    const QString &ServerIP() const { return FSIP; }
    const QString &ClientIP() const { return FCIP; }
    const QStringList &DUNA() const { return FDUNA; }
    const QString &DUNA_Key() const { return FDUNAKey; }
    void SetDUNA_Key(const QString &key) { FDUNAKey = key; }
    std::uint32_t BytesXmit() const { return FStatsXmit; }
    std::uint32_t BytesRecv() const { return FStatsRecv; }
    std::uint32_t ConnectionSpeed() const { return FStatsConnSpeed; }

    // Published events.
    TOnEntryGet OnEntryGet;
    TStandartEv OnDialing;
    TStandartEv OnConnect;
    TOnNotConn OnNotConnected;
    TOnAsyncEvent OnAsyncEvent;
    TOnError OnError;
    TOnActiveConn OnActiveConnection;

    // The native window the entry dialogs belong to; the owning form sets it.
    std::function<std::uintptr_t()> OwnerWindow;

    int Dial();
    int GetEntries();
    int GetConnections();
    int HangUp();
    int HangUpConn(int Handle);
    int CreateEntry();
    int EditEntry();
    int DeleteEntry();
    int RenameEntryTo(const QString &S);
    int SetEntryUserName(const QString &Value);
    int SetEntryPassword(const QString &Value);
    int RemovePassword();
    int GetEntryUserName(QString &Value);
    int GetEntryPassword(QString &Value);
    QString StatusString(int State, int Error);
    QString StatusStringCZ(int State, int Error);
    QString StatusStringPO(int State, int Error);
    int GetIP(int HRC);
    bool SearchDUNA();
    bool InitializePerfStats(bool start, bool search);
    bool GetPerfStats();

    // The connection of the last Dial (0 when none).
    platform::ras::Handle LastConnection() const { return hRAS; }

protected:
    // The timer's handler: delivers the waiting notification of an asynchronous dial.
    virtual void DeliverAsyncEvent();

private:
    friend void RasDialNotifier(unsigned message, platform::ras::Dword state, platform::ras::Dword error);

    int ReadDialParams(platform::ras::DialParamsA &params);
    int ChangeDialParams(const std::function<void(platform::ras::DialParamsA &)> &change);
    QString PlatformErrorText(int Error);
    QString StatusText(int State, int Error);
    void ResetStatsBaseline();

    QStringList FEntries;
    TDialMode FDialMode = dmAsync;
    QString FEntry2Dial;
    TLanguage FLanguage = English;
    QString FSIP;
    QString FCIP;
    QStringList FDUNA;
    QString FDUNAKey;
    QTimer *FTimer;
    std::uint32_t FStatsXmit = 0;
    std::uint32_t FStatsRecv = 0;
    std::uint32_t FStatsConnSpeed = 0;
    std::uint32_t FStatsXmitTot = 0;
    std::uint32_t FStatsRecvTot = 0;
    std::uint32_t FStatsXmitCon = 0;
    std::uint32_t FStatsRecvCon = 0;
    platform::ras::Handle hRAS = 0;
    std::atomic<bool> AsyncStatus{false};
    unsigned AMsg = 0;
    platform::ras::Dword AError = 0;
    platform::ras::Dword AState = 0;
};

// The notifier handed to the provider for asynchronous dials.
void RasDialNotifier(unsigned message, platform::ras::Dword state, platform::ras::Dword error);

// The size of the performance-data buffer, process-wide; 0 until first used. It grows by
// 1,024 bytes at a time while the data does not fit, up to MaxPerfDataBufferSize.
extern std::uint32_t PerfDataBufferSize;
inline constexpr std::uint32_t MaxPerfDataBufferSize = 16u * 1024 * 1024;

} // namespace dialup
