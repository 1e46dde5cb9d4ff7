#pragma once
// Runs a built program while this process's event loop keeps serving (the loopback test
// server lives on the same thread), bounded in time.
#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

namespace nettest {

struct ProgramResult
{
    int exitCode = -1;       // -1 when it crashed or ran past the limit (then it was killed)
    QString out;
    QString err;
};

ProgramResult runProgram(const QString &program, const QStringList &arguments,
                         std::chrono::milliseconds limit = std::chrono::seconds(30));

// Waits in the event loop until the condition holds or the limit passes; the last result.
bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit);

} // namespace nettest
