// vardoctl dialup: lists the phonebook entries, dials one (printing the states as they
// arrive), hangs up, shows the active connections and the byte counters, through the
// same dial-up component the transfer window carries.
#include "answer.h"
#include "command.h"

#include "dialup/tdialup.h"
#include "platform/codepage.h"
#include "platform/termination_signals.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstring>

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral("vardoctl dialup entries|dial ENTRY|hangup [ENTRY]|status|stats");

// Entry names reach the library in the ANSI code page: one that does not fit it would
// name another entry (or none), so it is refused.
QString entryArgument(const QString &argument)
{
    platform::toAnsiExactly(argument);
    return argument;
}

// Texts the library hands out, in the ANSI code page.
QString fromAnsi(const char *text)
{
    return platform::fromAnsi(text, qsizetype(std::strlen(text)));
}

int failed(dialup::TDialUp &dialUp, int result)
{
    err() << dialUp.StatusString(0, result) << "\n";
    return ExitFailed;
}

int listEntries(dialup::TDialUp &dialUp)
{
    if (const int result = dialUp.GetEntries(); result != 0)
        return failed(dialUp, result);
    printLines(dialUp.Entries());
    return ExitOk;
}

// The shell's exit status of a program ended by a signal.
int exitCodeOfSignal(int signalNumber)
{
    return 128 + signalNumber;
}

// Dials asynchronously so every state is printed when it arrives (with --json, gathered
// into the answer); the outcome ends the wait. Interrupted (Ctrl-C, SIGTERM), it hangs up what it started before it exits, so no
// half-made connection outlives the command.
int dial(dialup::TDialUp &dialUp, const QString &entry)
{
    dialUp.SetEntry(entry);
    dialUp.SetDialMode(dialup::dmAsync);
    QEventLoop loop;
    QJsonArray states;
    const auto showState = [&](const QString &text) {
        if (jsonOutput()) {
            states.append(text);
            return;
        }
        out() << text << "\n";
        out().flush();
    };
    int outcome = 0;
    int interruptedBy = 0;
    const platform::TerminationSignals interruption([&](int signalNumber) {
        interruptedBy = signalNumber;
        loop.exit();
    });
    dialUp.OnAsyncEvent = [&](dialup::TDialUp &, int state, int error, const QString &text) {
        if (error != 0) {
            outcome = error;
            err() << text << "\n";
            loop.exit();
            return;
        }
        showState(text);
        if (state == int(platform::ras::Connected))
            loop.exit();
    };
    // The platform's text says more than the step that failed.
    dialUp.OnError = [&](dialup::TDialUp &sender, int code, const QString &) {
        outcome = code;
        err() << sender.StatusString(0, code) << "\n";
    };
    if (const int result = dialUp.Dial(); result != 0)
        return ExitFailed;
    loop.exec();
    if (interruptedBy != 0) {
        dialUp.HangUp();
        return exitCodeOfSignal(interruptedBy);
    }
    if (outcome != 0) {
        dialUp.HangUp();
        return ExitFailed;
    }
    QJsonObject answer{{QStringLiteral("entry"), entry}, {QStringLiteral("states"), states}};
    QString ipLine;
    if (dialUp.GetIP(int(dialUp.LastConnection())) == 0) {
        answer.insert(QStringLiteral("clientIP"), dialUp.ClientIP());
        answer.insert(QStringLiteral("serverIP"), dialUp.ServerIP());
        ipLine = QStringLiteral("IP %1 server %2\n").arg(dialUp.ClientIP(), dialUp.ServerIP());
    }
    printAnswer(answer, [&] { return ipLine; });
    return ExitOk;
}

int showStatus(dialup::TDialUp &dialUp)
{
    QList<Fields> rows;
    dialUp.OnActiveConnection = [&](dialup::TDialUp &, int, const dialup::TRasConnStatusA &, const QString &text,
                                    const char *entryName, const char *deviceType, const char *deviceName) {
        rows.append({{QStringLiteral("entry"), fromAnsi(entryName)},
                     {QStringLiteral("state"), text},
                     {QStringLiteral("deviceType"), fromAnsi(deviceType)},
                     {QStringLiteral("deviceName"), fromAnsi(deviceName)}});
    };
    if (const int result = dialUp.GetConnections(); result != 0)
        return failed(dialUp, result);
    if (rows.isEmpty() && !jsonOutput())
        out() << "No active dial-up connection\n";
    else
        printRows(rows);
    return ExitOk;
}

// Hangs up every active connection, or those of one entry; with --json the answer is the
// connections left.
int hangUp(dialup::TDialUp &dialUp, const QString &entry)
{
    QList<int> handles;
    dialUp.OnActiveConnection = [&](dialup::TDialUp &, int handle, const dialup::TRasConnStatusA &, const QString &,
                                    const char *entryName, const char *, const char *) {
        if (entry.isEmpty() || fromAnsi(entryName) == entry)
            handles << handle;
    };
    if (const int result = dialUp.GetConnections(); result != 0)
        return failed(dialUp, result);
    for (int handle : handles) {
        if (const int result = dialUp.HangUpConn(handle); result != 0)
            return failed(dialUp, result);
    }
    if (jsonOutput())
        return showStatus(dialUp);
    out() << (handles.isEmpty() ? "No connection to hang up" : "Hung up") << "\n";
    return ExitOk;
}

int showStats(dialup::TDialUp &dialUp)
{
    if (!dialUp.GetPerfStats()) {
        err() << "No dial-up statistics: no ppp interface is up.\n";
        return ExitFailed;
    }
    const qint64 sent = dialUp.BytesXmit();
    const qint64 received = dialUp.BytesRecv();
    printAnswer(QJsonObject{{QStringLiteral("bytesSent"), sent}, {QStringLiteral("bytesReceived"), received}},
                [&] { return QStringLiteral("Bytes sent %1\nBytes received %2\n").arg(sent).arg(received); });
    return ExitOk;
}

int runDialUp(const QStringList &args)
{
    if (args.isEmpty())
        return usageError(Usage);
    const QString &what = args.first();
    dialup::TDialUp dialUp;
    if (what == QLatin1String("entries") && args.size() == 1)
        return listEntries(dialUp);
    if (what == QLatin1String("dial") && args.size() == 2)
        return dial(dialUp, entryArgument(args[1]));
    if (what == QLatin1String("hangup") && args.size() <= 2)
        return hangUp(dialUp, entryArgument(args.value(1)));
    if (what == QLatin1String("status") && args.size() == 1)
        return showStatus(dialUp);
    if (what == QLatin1String("stats") && args.size() == 1)
        return showStats(dialUp);
    return usageError(Usage);
}

const CommandRegistration registration{{QStringLiteral("dialup"), Usage, runDialUp}};

} // namespace
} // namespace vardoctl
