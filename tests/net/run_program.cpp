#include "run_program.h"

#include <QEventLoop>
#include <QTimer>

namespace nettest {

ProgramResult runProgram(const QString &program, const QStringList &arguments, std::chrono::milliseconds limit)
{
    QProcess process;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    process.start(program, arguments);
    deadline.start(limit);
    loop.exec();
    ProgramResult result;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    } else if (process.exitStatus() == QProcess::NormalExit && process.error() != QProcess::FailedToStart) {
        result.exitCode = process.exitCode();
    }
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit)
{
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(limit);
    bool holds = condition();
    while (!holds && deadline.isActive()) {
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        holds = condition();
    }
    return holds;
}

} // namespace nettest
