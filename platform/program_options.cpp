#include "platform/program_options.h"

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.endsWith(u'\n') ? text.toLocal8Bit() : (text + u'\n').toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

QString programVersion()
{
    return QStringLiteral(VARDO_VERSION);
}

std::optional<int> answerHelpOrVersion(int argc, char **argv, const QString &program, const QString &usage)
{
    if (argc < 2)
        return std::nullopt;
    if (std::strcmp(argv[1], "--help") == 0) {
        print(stdout, usage);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        print(stdout, program + u' ' + programVersion());
        return 0;
    }
    return std::nullopt;
}

int usageError(const QString &usage, const QString &problem)
{
    if (!problem.isEmpty())
        print(stderr, problem);
    print(stderr, usage);
    return ExitUsage;
}

} // namespace platform
