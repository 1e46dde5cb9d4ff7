// The exported RAS functions: record checks, ANSI text, handles; the work is the back
// end's. Every entry point answers with a result code and never lets an exception out.
#include "platform/ras_text.h"
#include "platform/ras/ras_backend.h"
#include "platform/ras/ras_connections.h"
#include "platform/ras/ras_errors.h"

#include <algorithm>
#include <cstring>
#include <exception>

#define RAS_EXPORT extern "C" __attribute__((visibility("default")))

using namespace platform::ras;
using platform::SecretBuffer;
using platform::wipeBytes;

namespace {

QString fromText(const char *text)
{
    return text ? fromField(text, std::strlen(text)) : QString();
}

template<typename Body>
Dword guarded(Body body)
{
    try {
        return body();
    } catch (const std::exception &) {
        return ErrorUnknown;
    }
}

enum class PasswordTaking { Skip, Take };

// The password goes between the record and a wiped buffer byte for byte: it is never
// decoded into a string that would leave a copy behind.
SecretBuffer passwordOf(const DialParamsA &record)
{
    const char *end = static_cast<const char *>(std::memchr(record.password, 0, sizeof record.password));
    return SecretBuffer(record.password, end ? std::size_t(end - record.password) : sizeof record.password);
}

void putPassword(DialParamsA &record, const SecretBuffer &password)
{
    const std::size_t length = std::min(password.size(), sizeof record.password - 1);
    if (length > 0)
        std::memcpy(record.password, password.data(), length);
    wipeBytes(record.password + length, sizeof record.password - length);
}

DialParams paramsOf(const DialParamsA &record, PasswordTaking password)
{
    return {fromField(record.entryName, sizeof record.entryName),
            fromField(record.phoneNumber, sizeof record.phoneNumber),
            fromField(record.callbackNumber, sizeof record.callbackNumber),
            fromField(record.userName, sizeof record.userName),
            password == PasswordTaking::Take ? passwordOf(record) : SecretBuffer(),
            fromField(record.domain, sizeof record.domain)};
}

void fill(DialParamsA &record, const DialParams &params)
{
    toField(record.entryName, sizeof record.entryName, params.entryName);
    toField(record.phoneNumber, sizeof record.phoneNumber, params.phoneNumber);
    toField(record.callbackNumber, sizeof record.callbackNumber, params.callbackNumber);
    toField(record.userName, sizeof record.userName, params.userName);
    putPassword(record, params.password);
    toField(record.domain, sizeof record.domain, params.domain);
}

// A list of count records of type T: the sizes are checked before anything is written.
template<typename T>
Dword checkListBuffer(const T *records, const Dword *bytes, const Dword *count)
{
    if (!records || !bytes || !count)
        return ErrorInvalidParameter;
    if (*bytes < sizeof(T) || records->size != sizeof(T))
        return ErrorInvalidSize;
    return Success;
}

template<typename T>
Dword finishList(Dword *bytes, Dword *count, qsizetype items)
{
    const Dword needed = Dword(items) * sizeof(T);
    const Dword offered = *bytes;
    *bytes = needed;
    if (needed > offered) {
        *count = 0;
        return ErrorBufferTooSmall;
    }
    *count = Dword(items);
    return Success;
}

} // namespace

RAS_EXPORT Dword RasDialA(void *, const char *, DialParamsA *params, Dword notifierKind, void *notifier,
                          Handle *connection)
{
    if (!params || !connection || (notifier && notifierKind != 0))
        return ErrorInvalidParameter;
    if (params->size != sizeof(DialParamsA))
        return ErrorInvalidSize;
    *connection = 0;
    return guarded([&] {
        // The back ends dial with the entry's own stored credentials: the record's
        // password is not taken.
        return dial(paramsOf(*params, PasswordTaking::Skip), reinterpret_cast<DialNotifier>(notifier), *connection);
    });
}

RAS_EXPORT Dword RasEnumEntriesA(const char *, const char *, EntryNameA *entries, Dword *bytes, Dword *count)
{
    if (const Dword error = checkListBuffer(entries, bytes, count); error != Success)
        return error;
    return guarded([&] {
        QStringList names;
        if (const Dword error = backend().listEntries(names); error != Success)
            return error;
        if (const Dword error = finishList<EntryNameA>(bytes, count, names.size()); error != Success)
            return error;
        for (qsizetype i = 0; i < names.size(); ++i) {
            entries[i].size = sizeof(EntryNameA);
            toField(entries[i].entryName, sizeof entries[i].entryName, names[i]);
        }
        return Dword(Success);
    });
}

RAS_EXPORT Dword RasEnumConnectionsA(ConnA *connections, Dword *bytes, Dword *count)
{
    if (const Dword error = checkListBuffer(connections, bytes, count); error != Success)
        return error;
    return guarded([&] {
        QList<ConnectionInfo> found;
        if (const Dword error = backend().listConnections(found); error != Success)
            return error;
        if (const Dword error = finishList<ConnA>(bytes, count, found.size()); error != Success)
            return error;
        for (qsizetype i = 0; i < found.size(); ++i) {
            ConnA &c = connections[i];
            c.size = sizeof(ConnA);
            c.handle = handleFor(found[i].key);
            toField(c.entryName, sizeof c.entryName, found[i].entryName);
            toField(c.deviceType, sizeof c.deviceType, found[i].deviceType);
            toField(c.deviceName, sizeof c.deviceName, found[i].deviceName);
        }
        return Dword(Success);
    });
}

RAS_EXPORT Dword RasGetConnectStatusA(Handle connection, ConnStatusA *status)
{
    if (!status)
        return ErrorInvalidParameter;
    if (status->size != sizeof(ConnStatusA))
        return ErrorInvalidSize;
    return guarded([&] {
        const std::optional<QString> key = keyOf(connection);
        if (!key)
            return Dword(ErrorInvalidHandle);
        const DialProgress p = backend().progress(*key);
        status->state = p.gone ? Disconnected : (p.states.isEmpty() ? OpeningPort : p.states.last());
        status->error = p.error;
        QList<ConnectionInfo> found;
        backend().listConnections(found);
        const auto it = std::find_if(found.cbegin(), found.cend(),
                                     [&](const ConnectionInfo &c) { return c.key == *key; });
        const ConnectionInfo info = it != found.cend() ? *it : ConnectionInfo{};
        toField(status->deviceType, sizeof status->deviceType, info.deviceType);
        toField(status->deviceName, sizeof status->deviceName, info.deviceName);
        return Dword(Success);
    });
}

RAS_EXPORT Dword RasGetErrorStringA(unsigned error, char *text, Dword size)
{
    if (!text || size == 0)
        return ErrorInvalidParameter;
    return guarded([&] {
        toField(text, size, errorText(error));
        return Dword(Success);
    });
}

RAS_EXPORT Dword RasHangUpA(Handle connection)
{
    return guarded([&] {
        const std::optional<QString> key = keyOf(connection);
        if (!key)
            return Dword(ErrorInvalidHandle);
        releaseHandle(connection);
        return backend().hangUp(*key);
    });
}

RAS_EXPORT Dword RasGetProjectionInfoA(Handle connection, int projection, void *info, Dword *bytes)
{
    if (!info || !bytes)
        return ErrorInvalidParameter;
    if (projection != PppIpProjection)
        return ErrorProtocolNotConfigured;
    auto *ip = static_cast<PppIpA *>(info);
    if (*bytes < sizeof(PppIpA)) {
        *bytes = sizeof(PppIpA);
        return ErrorBufferTooSmall;
    }
    if (ip->size != sizeof(PppIpA))
        return ErrorInvalidSize;
    return guarded([&] {
        const std::optional<QString> key = keyOf(connection);
        if (!key)
            return Dword(ErrorInvalidHandle);
        QString client;
        QString server;
        if (const Dword error = backend().addresses(*key, client, server); error != Success)
            return error;
        ip->error = Success;
        toField(ip->ipAddress, sizeof ip->ipAddress, client);
        toField(ip->serverIpAddress, sizeof ip->serverIpAddress, server);
        return Dword(Success);
    });
}

RAS_EXPORT Dword RasCreatePhonebookEntryA(std::uintptr_t window, const char *)
{
    return guarded([&] { return backend().editEntry(window, QString()); });
}

RAS_EXPORT Dword RasEditPhonebookEntryA(std::uintptr_t window, const char *, const char *entry)
{
    const QString name = fromText(entry);
    if (name.isEmpty())
        return ErrorCannotFindPhonebookEntry;
    return guarded([&] { return backend().editEntry(window, name); });
}

RAS_EXPORT Dword RasGetEntryDialParamsA(const char *, DialParamsA *params, int *passwordReturned)
{
    if (!params || !passwordReturned)
        return ErrorInvalidParameter;
    if (params->size != sizeof(DialParamsA))
        return ErrorInvalidSize;
    return guarded([&] {
        DialParams found;
        found.entryName = fromField(params->entryName, sizeof params->entryName);
        bool hasPassword = false;
        if (const Dword error = backend().readDialParams(found, hasPassword); error != Success)
            return error;
        if (!hasPassword)
            found.password.clear();
        fill(*params, found);
        *passwordReturned = hasPassword ? 1 : 0;
        return Dword(Success);
    });
}

RAS_EXPORT Dword RasSetEntryDialParamsA(const char *, DialParamsA *params, int removePassword)
{
    if (!params)
        return ErrorInvalidParameter;
    if (params->size != sizeof(DialParamsA))
        return ErrorInvalidSize;
    return guarded([&] { return backend().writeDialParams(paramsOf(*params, removePassword ? PasswordTaking::Skip : PasswordTaking::Take),
                                                      removePassword != 0); });
}

RAS_EXPORT Dword RasRenameEntryA(const char *, const char *oldName, const char *newName)
{
    const QString to = fromText(newName);
    if (!isValidEntryName(to))
        return ErrorInvalidName;
    return guarded([&] { return backend().renameEntry(fromText(oldName), to); });
}

RAS_EXPORT Dword RasDeleteEntryA(const char *, const char *entry)
{
    return guarded([&] { return backend().deleteEntry(fromText(entry)); });
}
