#include "platform/progress_notifier.h"

#include "platform/dbus/dbus_progress_notifier.h"

namespace platform {
namespace {

ProgressNotifier *current = nullptr;

} // namespace

ProgressNotifier &progressNotifier()
{
    static dbus::DBusProgressNotifier sessionBusNotifier;
    return current ? *current : sessionBusNotifier;
}

void setProgressNotifier(ProgressNotifier *notifier)
{
    current = notifier;
}

} // namespace platform
