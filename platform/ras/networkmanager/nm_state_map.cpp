#include "platform/ras/networkmanager/nm_state_map.h"

#include "platform/ras/networkmanager/nm_names.h"

namespace platform::ras::nm {

const QList<Dword> &dialSequence()
{
    static const QList<Dword> sequence{OpeningPort, PortOpened, ConnectDevice, DeviceConnected, AllDevicesConnected,
                                       Authenticate, Authenticated, Projected, Connected};
    return sequence;
}

qsizetype statesPassedByDevice(unsigned deviceState)
{
    if (deviceState >= DeviceActivated)
        return deviceState == DeviceActivated ? 9 : 0;
    if (deviceState >= DeviceIpCheck)
        return 8; // ... Projected
    if (deviceState >= DeviceIpConfig)
        return 7; // ... Authenticated
    if (deviceState >= DeviceNeedAuth)
        return 6; // ... Authenticate
    if (deviceState >= DeviceConfig)
        return 5; // ... AllDevicesConnected
    if (deviceState >= DevicePrepare)
        return 2; // ... PortOpened
    return 0;
}

Dword errorForDeviceReason(unsigned reason)
{
    switch (reason) {
    case 23: // MODEM_BUSY
        return ErrorLineBusy;
    case 24: // MODEM_NO_DIAL_TONE
        return ErrorNoDialtone;
    case 25: // MODEM_NO_CARRIER
        return ErrorNoCarrier;
    case 26: // MODEM_DIAL_TIMEOUT
        return ErrorNoAnswer;
    case 7:  // NO_SECRETS: also how a refused PPP login ends
    case 29: // GSM_APN_FAILED
    case 34: // GSM_PIN_CHECK_FAILED
    case 46: // GSM_SIM_PIN_REQUIRED
    case 47: // GSM_SIM_PUK_REQUIRED
    case 59: // SIM_PIN_INCORRECT
        return ErrorAuthenticationFailure;
    case 27: // MODEM_DIAL_FAILED
    case 28: // MODEM_INIT_FAILED
    case 35: // FIRMWARE_MISSING
    case 43: // MODEM_NOT_FOUND
    case 44: // BT_FAILED
    case 45: // GSM_SIM_NOT_INSERTED
    case 48: // GSM_SIM_WRONG
    case 52: // MODEM_MANAGER_UNAVAILABLE
    case 57: // MODEM_FAILED
        return ErrorPortOrDevice;
    case 30: // GSM_REGISTRATION_NOT_SEARCHING
    case 31: // GSM_REGISTRATION_DENIED
    case 32: // GSM_REGISTRATION_TIMEOUT
    case 33: // GSM_REGISTRATION_FAILED
        return ErrorNoDialtone;
    case 12: // PPP_START_FAILED
    case 14: // PPP_FAILED
        return ErrorPppLcpTerminated;
    case 13: // PPP_DISCONNECT
        return ErrorRemoteDisconnection;
    case 5:  // IP_CONFIG_UNAVAILABLE
    case 6:  // IP_CONFIG_EXPIRED
    case 15: // DHCP_START_FAILED
    case 16: // DHCP_ERROR
    case 17: // DHCP_FAILED
        return ErrorPppNoAddressAssigned;
    case 36: // REMOVED
        return ErrorHardwareFailure;
    case 38: // CONNECTION_REMOVED
        return ErrorCannotFindPhonebookEntry;
    case 39: // USER_REQUESTED
        return ErrorUserDisconnection;
    default:
        return ErrorUnknown;
    }
}

} // namespace platform::ras::nm
