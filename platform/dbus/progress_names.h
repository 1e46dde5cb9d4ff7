#pragma once
// The progress application on the session bus. On Windows the suite finds the progress
// window by its class "TProgressFormG4" and sends it the registered window message
// "Tellvara_INACTIVATE_PROGRESSAPP" (this application's window, 0). Here the progress
// application owns ProgressService and exports ProgressInterface at ProgressPath; the
// message becomes the method InactivateProgressApp(t caller, t reserved): the caller's
// process id and 0. The method returns nothing once the progress window has stepped back.
#include <QLatin1StringView>

namespace platform::dbus {

inline constexpr QLatin1StringView ProgressService{"se.tellvara.ProgressApp"};
inline constexpr QLatin1StringView ProgressPath{"/se/tellvara/ProgressApp"};
inline constexpr QLatin1StringView ProgressInterface{"se.tellvara.ProgressApp"};
inline constexpr QLatin1StringView InactivateProgressAppMethod{"InactivateProgressApp"};

} // namespace platform::dbus
