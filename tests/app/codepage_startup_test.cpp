// Every command-line program refuses a TELLVARA_ANSI_CODEPAGE it cannot use at start-up,
// instead of reading names and texts through another code page.
#include "program_run.h"
#include "test_env.h"


#include <gtest/gtest.h>

namespace {

using Outcome = testenv::ProgramRun;

Outcome runWithCodePage(const QString &program, const QStringList &args, const QByteArray &codePage)
{
    testenv::RunOptions options;
    options.environment.insert("TELLVARA_ANSI_CODEPAGE", QString::fromLatin1(codePage));
    return testenv::runProgram(testenv::binDir() + "/" + program, args, options);
}

TEST(CodePageStartup, UnknownAndMultiByteCodePagesStopEveryProgram)
{
    const struct
    {
        QByteArray codePage;
        int code;
        const char *message;
    } cases[] = {
        {"NO-SUCH-PAGE", 1, "a code page this system does not know"},
        {"UTF-8", 1, "which is not a single-byte code page"},
        {"SHIFT_JIS", 1, "which is not a single-byte code page"},
        {"UTF-16LE", 1, "which is not a single-byte code page"},
        {"ISO-8859-15", 0, ""},
        {"cp1251", 0, ""},
    };
    const struct
    {
        const char *program;
        QStringList args;
    } programs[] = {
        {"vardoctl", {"paths"}},
        {"vardo-service", {}},
    };
    const QString archive = testenv::root() + "/empty.zlb";
    for (const auto &c : cases) {
        for (const auto &p : programs) {
            if (c.code == 0 && QLatin1String(p.program) == QLatin1String("vardo-service"))
                continue; // it would start serving
            const Outcome r = runWithCodePage(p.program, p.args, c.codePage);
            EXPECT_EQ(r.exitCode, c.code) << p.program << " " << c.codePage.constData() << ": " << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << p.program << " " << r.err.toStdString();
        }
        const Outcome zlb = runWithCodePage("zlb", {"l", archive}, c.codePage);
        if (c.code != 0)
            EXPECT_TRUE(zlb.exitCode == 1 && zlb.err.contains(QLatin1String(c.message))) << zlb.err.toStdString();
    }
}

} // namespace
