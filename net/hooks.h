#pragma once
// The HTTP unit knows no dialogs or translation of its own: it shows messages,
// translates and asks through these slots, which the main window fills at start-up.
#include <QString>
#include <functional>

namespace net {

extern std::function<void(const QString &)> MessageHook;
extern std::function<QString(const QString &)> TranslateHook;
extern std::function<int(const QString &)> ConfirmHook;

} // namespace net
