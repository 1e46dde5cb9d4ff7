#include "platform/ras/ras_errors.h"

namespace platform::ras {
namespace {

struct ErrorRow
{
    Dword code;
    const char *text;
};

constexpr ErrorRow Texts[] = {
    {ErrorAccessDenied, "Access is denied."},
    {ErrorInvalidHandle, "The handle is invalid."},
    {ErrorInvalidParameter, "The parameter is incorrect."},
    {ErrorInvalidName, "The entry name is not valid."},
    {ErrorAlreadyExists, "An entry with that name already exists."},
    {ErrorMoreData, "More data is available."},
    {ErrorCancelled, "The operation was cancelled by the user."},
    {ErrorPortAlreadyOpen, "The connection is already active."},
    {ErrorBufferTooSmall, "The buffer is too small."},
    {ErrorCannotFindPhonebookEntry, "The phone book entry for this connection cannot be found."},
    {ErrorCannotWritePhonebook, "The phone book could not be written."},
    {ErrorRemoteDisconnection, "The connection was closed by the remote computer."},
    {ErrorHardwareFailure, "The connection was closed because of a hardware failure."},
    {ErrorUserDisconnection, "The connection was closed by the user."},
    {ErrorInvalidSize, "The structure size is incorrect."},
    {ErrorPortNotAvailable, "The modem or other connecting device is in use or not configured."},
    {ErrorUnknown, "An unknown error occurred."},
    {ErrorRequestTimeout, "The request has timed out."},
    {ErrorLineBusy, "The phone line is busy."},
    {ErrorNoAnswer, "The remote computer did not answer."},
    {ErrorNoCarrier, "No carrier was detected."},
    {ErrorNoDialtone, "There is no dial tone."},
    {ErrorAuthenticationFailure, "The user name or password was not accepted by the remote computer."},
    {ErrorPortOrDevice, "The modem or other connecting device reported a hardware failure."},
    {ErrorServiceUnavailable, "NetworkManager is not running, so dial-up connections are unavailable."},
    {ErrorProjectionNotComplete, "The connection has not finished negotiating its network protocols."},
    {ErrorProtocolNotConfigured, "The network protocol is not configured for this connection."},
    {ErrorPppLcpTerminated, "The PPP link control protocol was terminated."},
    {ErrorPppNoAddressAssigned, "The remote computer did not assign an IP address."},
};

} // namespace

QString errorText(Dword error)
{
    for (const ErrorRow &row : Texts) {
        if (row.code == error)
            return QString::fromLatin1(row.text);
    }
    return QStringLiteral("Unknown dial-up error %1.").arg(error);
}

} // namespace platform::ras
