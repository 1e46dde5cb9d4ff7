#pragma once
// What the data-link tests share: running a built program, and data-link file bytes.
#include "program_run.h"
#include "test_env.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace datalinktest {

using testenv::ProgramRun;

// Runs a program of the build folder with extra environment entries.
inline ProgramRun runBuiltProgram(const QString &name, const QStringList &args,
                                  const QProcessEnvironment &extra = QProcessEnvironment())
{
    testenv::RunOptions options;
    options.environment = testenv::environmentWith(extra);
    return testenv::runProgram(testenv::binDir() + u'/' + name, args, options);
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
