#pragma once
// The progress-window notification as a method call on the session bus (names in
// progress_names.h). The call never starts the progress application through bus
// activation: a progress application that does not run has nothing to step back from.
#include "platform/progress_notifier.h"

namespace platform::dbus {

class DBusProgressNotifier : public ProgressNotifier
{
public:
    void inactivateProgressApp() override;
};

} // namespace platform::dbus
