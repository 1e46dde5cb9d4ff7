// vardoctl: administers the Vardo service from a shell, with the rules of the admin window.
#include "answer.h"
#include "command.h"

#include <QCoreApplication>

#include <cstdio>

#include <exception>
#include <optional>
#include <vector>

#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/messagebox.h"
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
    QString text = QStringLiteral("usage: vardoctl [--json] COMMAND ... (--json: one JSON document on standard output;\n"
                                  "       a failure as {\"error\": REASON} on standard error)\n");
    for (const Command &c : commands())
        text += c.usage + u'\n';
    return text;
}

int printUsage()
{
    err() << usageText();
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

// With --json the messages are kept, to leave as one JSON document when the command fails.
QString &keptMessages()
{
    static QString text;
    return text;
}

QTextStream &err()
{
    static QTextStream plain(stderr);
    static QTextStream kept(&keptMessages());
    return jsonOutput() ? kept : plain;
}

// A message written for a box ("\r\r" between a sentence and the reason) as terminal lines.
QString lineBreaksOf(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

// With --json nobody answers on a terminal: a box's text joins the kept messages, a
// question counts as closed without a choice.
class KeptMessagePresenter : public platform::MessagePresenter
{
public:
    int present(const platform::MessageBox &box) override
    {
        err() << lineBreaksOf(box.text) << '\n';
        return box.buttons.size() > 1 ? platform::BoxNo : platform::BoxOk;
    }
};

// "--json" before the command or as the last argument; true when it was there.
bool takeJsonSwitch(QStringList &args)
{
    const QString option = QStringLiteral("--json");
    if (!args.isEmpty() && args.first() == option)
        args.removeFirst();
    else if (!args.isEmpty() && args.last() == option)
        args.removeLast();
    else
        return false;
    return true;
}

// The kept messages: the reason of a failure as {"error": ...}, warnings as they are.
void leaveKeptMessages(int code)
{
    err().flush();
    const QString text = keptMessages().trimmed();
    if (text.isEmpty())
        return;
    const QByteArray bytes = code == ExitOk ? text.toUtf8() + '\n' : errorDocument(text);
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
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
        if (c.name != args.first())
            continue;
        if (args.mid(1) == QStringList{QStringLiteral("--help")}) {
            out() << "usage:\n" << c.usage << '\n';
            return ExitOk;
        }
        try {
            platform::checkAnsiCodePage();
            return c.run(args.mid(1));
        } catch (const std::exception &e) {
            err() << lineBreaksOf(platform::messageOf(e)) << "\n";
            return ExitFailed;
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
    QStringList args = app.arguments().mid(1);
    vardoctl::setJsonOutput(vardoctl::takeJsonSwitch(args));
    vardoctl::KeptMessagePresenter keptMessages;
    if (vardoctl::jsonOutput())
        platform::setMessagePresenter(&keptMessages);
    const int code = vardoctl::run(args);
    platform::setMessagePresenter(nullptr);
    vardoctl::out().flush();
    if (vardoctl::jsonOutput())
        vardoctl::leaveKeptMessages(code);
    vardoctl::err().flush();
    return code;
}
