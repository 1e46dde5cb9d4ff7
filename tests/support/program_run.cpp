#include "program_run.h"

#include <QCoreApplication>
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

::testing::AssertionResult passesInOwnProcess(const QString &name, const QProcessEnvironment &extra)
{
    RunOptions options;
    options.environment = environmentWith(extra);
    const ProgramRun run = runProgram(QCoreApplication::applicationFilePath(),
                                      {QStringLiteral("--gtest_also_run_disabled_tests"), QStringLiteral("--gtest_filter=") + name},
                                      options);
    if (run.exitCode == 0 && run.out.contains(QLatin1String("[  PASSED  ] 1 test.")))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << name.toStdString() << " in its own process (exit " << run.exitCode
                                         << "):\n" << run.out.toStdString() << run.err.toStdString();
}

} // namespace testenv
