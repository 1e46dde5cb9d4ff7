// vardoctl: administers the Vardo service from a shell, with the rules of the admin window.
#include "command.h"

#include <QCoreApplication>

#include <exception>
#include <vector>

#include "platform/error.h"

namespace vardoctl {
namespace {

std::vector<Command> &commands()
{
    static std::vector<Command> list;
    return list;
}

int printUsage()
{
    err() << "usage:\n";
    for (const Command &c : commands())
        err() << c.usage << "\n";
    err().flush();
    return ExitUsage;
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
    QCoreApplication app(argc, argv);
    const int code = vardoctl::run(app.arguments().mid(1));
    vardoctl::out().flush();
    vardoctl::err().flush();
    return code;
}
