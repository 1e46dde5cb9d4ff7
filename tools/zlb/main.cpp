// zlb: lists, creates, extracts, tests and changes ZLB archives from a shell.
// Exit status: 0 done, 1 something failed (reason on stderr), 2 usage error.
#include "commands.h"
#include "options.h"

#include "platform/error.h"

#include <QCoreApplication>

#include <cstdio>
#include <map>

namespace {

using zlbtool::Session;

int run(const QStringList &args)
{
    static const std::map<QString, int (*)(Session &)> commands = {
        {"l", zlbtool::listCommand},   {"a", zlbtool::addCommand},    {"x", zlbtool::extractCommand},
        {"t", zlbtool::testCommand},   {"u", zlbtool::updateCommand}, {"d", zlbtool::deleteCommand},
        {"mv", zlbtool::renameCommand},
    };
    try {
        const zlbtool::Options options = zlbtool::parseOptions(args);
        const auto command = commands.find(options.command);
        if (command == commands.end())
            throw zlbtool::UsageError{QStringLiteral("unknown command %1").arg(options.command)};
        Session session(options);
        try {
            return command->second(session);
        } catch (const std::exception &e) {
            session.fail(platform::messageOf(e));
            return zlbtool::ExitFailed;
        }
    } catch (const zlbtool::UsageError &e) {
        std::fprintf(stderr, "zlb: %s\n%s", e.message.toLocal8Bit().constData(),
                     zlbtool::usage().toLocal8Bit().constData());
        return zlbtool::ExitUsage;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return run(app.arguments().mid(1));
}
