#pragma once
// Runs a program to its end from a test, bounded in time, and keeps what it printed.
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace testenv {

struct ProgramRun
{
    int exitCode = -1; // -1 when it crashed or ran past the limit (then it was killed, and nothing is kept)
    QString out;
    QString err;
};

struct RunOptions
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString workDir;  // empty: this process's
    QByteArray input; // standard input, closed after it
    int limitMs = 30000;
};

ProgramRun runProgram(const QString &program, const QStringList &args, const RunOptions &options = {});

// This process's environment with the entries given added or replaced.
QProcessEnvironment environmentWith(const QProcessEnvironment &extra);

} // namespace testenv
