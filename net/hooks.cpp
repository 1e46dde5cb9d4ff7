#include "net/hooks.h"

namespace net {

std::function<void(const QString &)> MessageHook;
std::function<QString(const QString &)> TranslateHook;
std::function<int(const QString &)> ConfirmHook;

} // namespace net
