#pragma once
// The progress-window notification. A suite program that is about to show a modal box
// first tells a running progress application of the suite to step back, so that its
// progress window does not cover the box. The call is synchronous: it returns once the
// progress application has handled it, or after ProgressCallTimeoutMs at the latest.
// No progress application, or no means of reaching one, is the ordinary case and means
// that nothing happens; the notification never fails towards its caller.
//
// On Linux the progress application owns a well-known name on the session bus (see
// platform/dbus/progress_names.h); the caller identifies itself by its process id.

namespace platform {

inline constexpr int ProgressCallTimeoutMs = 2000;

class ProgressNotifier
{
public:
    virtual ~ProgressNotifier() = default;
    // Tells a running progress application that this application shows a box now.
    virtual void inactivateProgressApp() = 0;
};

// The notifier in use: the session-bus one unless another is installed.
ProgressNotifier &progressNotifier();
// Installs a notifier (not owned); nullptr restores the session-bus one.
void setProgressNotifier(ProgressNotifier *notifier);

} // namespace platform
