#include "program_run.h"

#include <QProcess>

namespace testenv {

ProgramRun runProgram(const QString &program, const QStringList &args, const RunOptions &options)
{
    QProcess process;
    process.setProcessEnvironment(options.environment);
    if (!options.workDir.isEmpty())
        process.setWorkingDirectory(options.workDir);
    process.start(program, args);
    process.write(options.input);
    process.closeWriteChannel();
    if (!process.waitForFinished(options.limitMs)) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QProcessEnvironment environmentWith(const QProcessEnvironment &extra)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(extra);
    return environment;
}

} // namespace testenv
