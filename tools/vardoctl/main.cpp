// vardoctl: administers the Vardo service from a shell, with the rules of the admin window.
#include "command.h"

#include <QCoreApplication>

#include <exception>
#include <optional>
#include <vector>

#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/program_options.h"

namespace vardoctl {
namespace {

std::vector<Command> &commands()
{
    static std::vector<Command> list;
    return list;
}

QString usageText()
{
    QString text = QStringLiteral("usage:\n");
    for (const Command &c : commands())
        text += c.usage + u'\n';
    return text;
}

int printUsage()
{
    err().flush();
    return platform::usageError(usageText());
}

} // namespace

CommandRegistration::CommandRegistration(Command command)
{
    commands().push_back(std::move(command));
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int usageError(const QString &usage)
{
    err() << "usage:\n" << usage << "\n";
    err().flush();
    return ExitUsage;
}

int usageError(const Command &command)
{
    return usageError(command.usage);
}

int run(const QStringList &args)
{
    if (args.isEmpty())
        return printUsage();
    for (const Command &c : commands()) {
        if (c.name == args.first()) {
            try {
                platform::checkAnsiCodePage();
                return c.run(args.mid(1));
            } catch (const std::exception &e) {
                err() << platform::messageOf(e) << "\n";
                return ExitFailed;
            }
        }
    }
    return printUsage();
}

} // namespace vardoctl

int main(int argc, char **argv)
{
    if (const std::optional<int> answered = platform::answerHelpOrVersion(argc, argv, QStringLiteral("vardoctl"), vardoctl::usageText()))
        return *answered;
    QCoreApplication app(argc, argv);
    const int code = vardoctl::run(app.arguments().mid(1));
    vardoctl::out().flush();
    vardoctl::err().flush();
    return code;
}
