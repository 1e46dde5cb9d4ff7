#pragma once
// The RAS provider's calling interface: the 8-bit ("A") functions, their records and
// result codes as the dial-up component sees them. The provider is a shared library of
// this project (platform/ras), bound at run time; this header is all the component and the
// library share, so it includes nothing of the system.
//
// Rules: every function returns 0 for success or a RAS error number (RasError below).
// Records carry their size in the first field and the caller sets it; text fields are
// zero-terminated bytes in the ANSI code page. Handles are 32-bit, 0 meaning none.
#include <cstddef>
#include <cstdint>

namespace platform::ras {

using Dword = std::uint32_t;
using Handle = std::uint32_t;

inline constexpr std::size_t EntryNameSize = 257;   // 256 bytes and a zero
inline constexpr std::size_t PhoneNumberSize = 129;
inline constexpr std::size_t UserNameSize = 257;
inline constexpr std::size_t PasswordSize = 257;
inline constexpr std::size_t DomainSize = 16;
inline constexpr std::size_t DeviceTypeSize = 17;
inline constexpr std::size_t DeviceNameSize = 129;
inline constexpr std::size_t IpAddressSize = 16;

// The largest list the component offers room for.
inline constexpr Dword MaxListed = 100;

struct DialParamsA
{
    Dword size;
    char entryName[EntryNameSize];
    char phoneNumber[PhoneNumberSize];
    char callbackNumber[PhoneNumberSize];
    char userName[UserNameSize];
    char password[PasswordSize];
    char domain[DomainSize];
};
static_assert(sizeof(DialParamsA) == 1052);
static_assert(offsetof(DialParamsA, entryName) == 4);
static_assert(offsetof(DialParamsA, userName) == 519);
static_assert(offsetof(DialParamsA, password) == 776);

struct EntryNameA
{
    Dword size;
    char entryName[EntryNameSize];
};
static_assert(sizeof(EntryNameA) == 264);

struct ConnA
{
    Dword size;
    Handle handle;
    char entryName[EntryNameSize];
    char deviceType[DeviceTypeSize];
    char deviceName[DeviceNameSize];
};
static_assert(sizeof(ConnA) == 412);

struct ConnStatusA
{
    Dword size;
    Dword state;
    Dword error;
    char deviceType[DeviceTypeSize];
    char deviceName[DeviceNameSize];
};
static_assert(sizeof(ConnStatusA) == 160);

struct PppIpA
{
    Dword size;
    Dword error;
    char ipAddress[IpAddressSize];
    char serverIpAddress[IpAddressSize];
};
static_assert(sizeof(PppIpA) == 40);
static_assert(offsetof(PppIpA, ipAddress) == 8);
static_assert(offsetof(PppIpA, serverIpAddress) == 24);

inline constexpr int PppIpProjection = 0x8021;

// The message number a kind-0 notifier receives with every state.
inline constexpr unsigned DialEventMessage = 0xCCCD;

// Connection states.
enum ConnState : Dword {
    OpeningPort = 0,
    PortOpened = 1,
    ConnectDevice = 2,
    DeviceConnected = 3,
    AllDevicesConnected = 4,
    Authenticate = 5,
    AuthNotify = 6,
    AuthProject = 10,
    Authenticated = 14,
    Projected = 18,
    Connected = 0x2000,
    Disconnected = 0x2001,
};

// The result codes the provider gives.
enum RasError : Dword {
    Success = 0,
    ErrorAccessDenied = 5,
    ErrorInvalidHandle = 6,
    ErrorInvalidParameter = 87,
    ErrorInvalidName = 123,
    ErrorAlreadyExists = 183,
    ErrorMoreData = 234,
    ErrorCancelled = 1223,
    ErrorPortAlreadyOpen = 602,
    ErrorBufferTooSmall = 603,
    ErrorCannotFindPhonebookEntry = 623,
    ErrorCannotWritePhonebook = 624,
    ErrorRemoteDisconnection = 629,
    ErrorHardwareFailure = 630,
    ErrorUserDisconnection = 631,
    ErrorInvalidSize = 632,
    ErrorPortNotAvailable = 633,
    ErrorUnknown = 635,
    ErrorRequestTimeout = 638,
    ErrorLineBusy = 676,
    ErrorNoAnswer = 678,
    ErrorNoCarrier = 679,
    ErrorNoDialtone = 680,
    ErrorAuthenticationFailure = 691,
    ErrorPortOrDevice = 692,
    ErrorServiceUnavailable = 711,
    ErrorProjectionNotComplete = 730,
    ErrorProtocolNotConfigured = 731,
    ErrorPppLcpTerminated = 734,
    ErrorPppNoAddressAssigned = 738,
};

// A kind-0 notifier: message number, connection state, error code.
using DialNotifier = void (*)(unsigned message, Dword state, Dword error);

extern "C" {
using RasDialAFn = Dword (*)(void *extensions, const char *phonebook, DialParamsA *params, Dword notifierKind,
                             void *notifier, Handle *connection);
using RasEnumConnectionsAFn = Dword (*)(ConnA *connections, Dword *bytes, Dword *count);
using RasEnumEntriesAFn = Dword (*)(const char *reserved, const char *phonebook, EntryNameA *entries, Dword *bytes,
                                    Dword *count);
using RasGetConnectStatusAFn = Dword (*)(Handle connection, ConnStatusA *status);
using RasGetErrorStringAFn = Dword (*)(unsigned error, char *text, Dword size);
using RasHangUpAFn = Dword (*)(Handle connection);
using RasGetProjectionInfoAFn = Dword (*)(Handle connection, int projection, void *info, Dword *bytes);
using RasCreatePhonebookEntryAFn = Dword (*)(std::uintptr_t window, const char *phonebook);
using RasEditPhonebookEntryAFn = Dword (*)(std::uintptr_t window, const char *phonebook, const char *entry);
using RasSetEntryDialParamsAFn = Dword (*)(const char *phonebook, DialParamsA *params, int removePassword);
using RasGetEntryDialParamsAFn = Dword (*)(const char *phonebook, DialParamsA *params, int *passwordReturned);
using RasRenameEntryAFn = Dword (*)(const char *phonebook, const char *oldName, const char *newName);
using RasDeleteEntryAFn = Dword (*)(const char *phonebook, const char *entry);
}

} // namespace platform::ras
