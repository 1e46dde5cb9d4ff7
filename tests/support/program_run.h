#pragma once
// Runs a program to its end from a test, bounded in time, and keeps what it printed.
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

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

// Runs one disabled test case of this test program ("Suite.DISABLED_Case") in a process of
// its own, with the environment entries given: for what a program reads once and keeps,
// so a test that changes it passes also when the whole program runs. Succeeds when that
// one case ran and passed; else carries its output.
::testing::AssertionResult passesInOwnProcess(const QString &name, const QProcessEnvironment &extra);

} // namespace testenv
