#pragma once
// The termination requests a daemon receives (SIGTERM from its service manager, SIGINT
// from a terminal, SIGHUP when the terminal goes away), handed to a function in the event
// loop of the thread that made the object, so the program stops there rather than in a
// signal handler. The handler only writes the signal number to a pipe (the self-pipe
// trick); one object may exist at a time.
#include <QString>

#include <functional>
#include <memory>

namespace platform {

class TerminationSignals
{
public:
    // Installs the handlers; throws platform::Error when the pipe cannot be made.
    explicit TerminationSignals(std::function<void(int signalNumber)> onRequest);
    // Restores the default handling.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The conventional name of a signal number, e.g. "SIGTERM".
QString signalName(int signalNumber);

} // namespace platform
