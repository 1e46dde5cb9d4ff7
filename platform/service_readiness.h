#pragma once
// How a service tells the manager that started it that it now serves: systemd's
// notification socket (NOTIFY_SOCKET, for Type=notify units) and the local supervisor's
// ready file (see platform/local/local_service_names.h). Where neither was given, as when
// the program is run by hand, these do nothing and succeed.
namespace platform {

// False when a manager was named but could not be told.
[[nodiscard]] bool reportServiceReady();
[[nodiscard]] bool reportServiceStopping();

} // namespace platform
