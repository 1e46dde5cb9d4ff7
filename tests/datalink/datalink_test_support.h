#pragma once
// What the data-link tests share: running a built program, and data-link file bytes.
#include "test_env.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace datalinktest {

struct ProgramRun
{
    int exitCode = -1; // -1 when it crashed or ran past 30 s (then it was killed)
    QString out;
    QString err;
};

// Runs a program of the build folder with extra environment entries.
inline ProgramRun runBuiltProgram(const QString &name, const QStringList &args,
                                  const QProcessEnvironment &extra = QProcessEnvironment())
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &key : extra.keys())
        env.insert(key, extra.value(key));
    process.setProcessEnvironment(env);
    process.start(testenv::binDir() + u'/' + name, args);
    ProgramRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The text as UTF-16 little-endian with a byte-order mark, as the editor writes it.
inline QByteArray utf16WithMark(const QString &text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

} // namespace datalinktest
