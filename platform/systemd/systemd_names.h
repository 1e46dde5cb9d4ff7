#pragma once
// The names systemd's manager uses on the system bus (see org.freedesktop.systemd1(5)).
#include <QLatin1StringView>

namespace platform::systemd {

inline constexpr QLatin1StringView Service{"org.freedesktop.systemd1"};
inline constexpr QLatin1StringView ManagerPath{"/org/freedesktop/systemd1"};
inline constexpr QLatin1StringView ManagerInterface{"org.freedesktop.systemd1.Manager"};
inline constexpr QLatin1StringView UnitInterface{"org.freedesktop.systemd1.Unit"};
inline constexpr QLatin1StringView JobInterface{"org.freedesktop.systemd1.Job"};
inline constexpr QLatin1StringView PropertiesInterface{"org.freedesktop.DBus.Properties"};

// Manager methods.
inline constexpr QLatin1StringView GetUnitMethod{"GetUnit"};
inline constexpr QLatin1StringView LoadUnitMethod{"LoadUnit"};
inline constexpr QLatin1StringView StartUnitMethod{"StartUnit"};
inline constexpr QLatin1StringView StopUnitMethod{"StopUnit"};
inline constexpr QLatin1StringView GetAllMethod{"GetAll"};
inline constexpr QLatin1StringView GetMethod{"Get"};
// Job mode: a start replaces a queued stop and the other way round.
inline constexpr QLatin1StringView ReplaceMode{"replace"};

// Unit properties and their values.
inline constexpr QLatin1StringView LoadStateProperty{"LoadState"};
inline constexpr QLatin1StringView ActiveStateProperty{"ActiveState"};
inline constexpr QLatin1StringView JobProperty{"Job"};
inline constexpr QLatin1StringView JobTypeProperty{"JobType"};
inline constexpr QLatin1StringView LoadStateNotFound{"not-found"};

// Errors.
inline constexpr QLatin1StringView NoSuchUnitError{"org.freedesktop.systemd1.NoSuchUnit"};
inline constexpr QLatin1StringView UnitMaskedError{"org.freedesktop.systemd1.UnitMasked"};
inline constexpr QLatin1StringView JobFailedError{"org.freedesktop.systemd1.JobFailed"};
inline constexpr QLatin1StringView AccessDeniedError{"org.freedesktop.DBus.Error.AccessDenied"};
inline constexpr QLatin1StringView InteractiveAuthorizationRequiredError{
    "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"};

// Present exactly when systemd is the running init system (sd_booted(3)).
inline constexpr QLatin1StringView BootedMarker{"/run/systemd/system"};

} // namespace platform::systemd
