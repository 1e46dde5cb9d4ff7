#pragma once
// NetworkManager's names on the system bus, and the numbers of its states and reasons the
// RAS provider reads.
namespace platform::ras::nm {

inline constexpr char Service[] = "org.freedesktop.NetworkManager";
inline constexpr char ManagerPath[] = "/org/freedesktop/NetworkManager";
inline constexpr char ManagerInterface[] = "org.freedesktop.NetworkManager";
inline constexpr char SettingsPath[] = "/org/freedesktop/NetworkManager/Settings";
inline constexpr char SettingsInterface[] = "org.freedesktop.NetworkManager.Settings";
inline constexpr char ConnectionInterface[] = "org.freedesktop.NetworkManager.Settings.Connection";
inline constexpr char ActiveInterface[] = "org.freedesktop.NetworkManager.Connection.Active";
inline constexpr char DeviceInterface[] = "org.freedesktop.NetworkManager.Device";
inline constexpr char Ip4ConfigInterface[] = "org.freedesktop.NetworkManager.IP4Config";
inline constexpr char PropertiesInterface[] = "org.freedesktop.DBus.Properties";
inline constexpr char NoObject[] = "/";

inline constexpr char UnknownConnectionError[] = "org.freedesktop.NetworkManager.UnknownConnection";
inline constexpr char PermissionDeniedError[] = "org.freedesktop.NetworkManager.PermissionDenied";
inline constexpr char ConnectionNotActiveError[] = "org.freedesktop.NetworkManager.ConnectionNotActive";
inline constexpr char UnknownDeviceError[] = "org.freedesktop.NetworkManager.UnknownDevice";
inline constexpr char AlreadyActiveError[] = "org.freedesktop.NetworkManager.ConnectionAlreadyActive";

// NMActiveConnectionState
enum ActiveState : unsigned { ActiveUnknown = 0, Activating = 1, Activated = 2, Deactivating = 3, Deactivated = 4 };

// NMDeviceState
enum DeviceState : unsigned {
    DeviceUnknown = 0,
    DeviceDisconnected = 30,
    DevicePrepare = 40,
    DeviceConfig = 50,
    DeviceNeedAuth = 60,
    DeviceIpConfig = 70,
    DeviceIpCheck = 80,
    DeviceSecondaries = 90,
    DeviceActivated = 100,
    DeviceDeactivating = 110,
    DeviceFailed = 120,
};

} // namespace platform::ras::nm
