#pragma once
// The termination requests a daemon receives (SIGTERM from its service manager, SIGINT
// from a terminal, SIGHUP when the terminal goes away), delivered as a Qt signal on the
// thread that owns the object, so the program can stop in its event loop rather than in a
// signal handler. The handler only writes the signal number to a pipe (the self-pipe
// trick); one object may exist at a time.
#include <QObject>

#include <memory>

namespace platform {

class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    // Installs the handlers; throws suite::Error when the pipe cannot be made.
    explicit TerminationSignals(QObject *parent = nullptr);
    // Restores the default handling.
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The conventional name of a signal number, e.g. "SIGTERM".
QString signalName(int signalNumber);

} // namespace platform
