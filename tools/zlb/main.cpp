// zlb: lists, creates, extracts, tests and changes ZLB archives from a shell.
// Exit status: 0 done, 1 something failed (reason on stderr), 2 usage error.
#include "commands.h"
#include "options.h"

#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/program_options.h"

#include <QCoreApplication>

#include <map>
#include <optional>

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
            platform::checkAnsiCodePage(); // entry names are in that code page
            return command->second(session);
        } catch (const std::exception &e) {
            session.fail(platform::messageOf(e));
            return zlbtool::ExitFailed;
        }
    } catch (const zlbtool::UsageError &e) {
        return platform::usageError(zlbtool::usage(), QStringLiteral("zlb: ") + e.message);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (const std::optional<int> answered = platform::answerHelpOrVersion(argc, argv, QStringLiteral("zlb"), zlbtool::usage()))
        return *answered;
    QCoreApplication app(argc, argv);
    return run(app.arguments().mid(1));
}
