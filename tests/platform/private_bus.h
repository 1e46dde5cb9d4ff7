#pragma once
// A private session bus for one test process (a dbus-daemon of its own, listening on a
// socket in the private root), and a stand-in progress application on it that logs
// every notification it receives. Header-only, for the tests of several folders.
#include "platform/dbus/progress_names.h"
#include "test_env.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace testbus {

// Reads lines from a starting helper until one satisfies accept; throws when the helper
// ends or stays silent for 15 s.
template<typename Accept>
QString waitForLine(QProcess &process, const char *what, Accept accept)
{
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).trimmed();
            if (accept(line))
                return line;
        }
        if (process.state() == QProcess::NotRunning)
            break;
        process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    throw std::runtime_error(std::string(what) + " did not start: " + process.readAllStandardError().toStdString());
}

inline void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.kill();
    process.waitForFinished(5000);
}

class PrivateBus
{
public:
    // A bus listening on socketPath; serviceDir, when given, holds activatable services.
    explicit PrivateBus(const QString &socketPath, const QString &serviceDir = {})
    {
        const QString config = testenv::root() + "/bus-" + QString::number(qHash(socketPath)) + ".conf";
        testenv::writeFile(config, configText(socketPath, serviceDir).toUtf8());
        m_daemon.start("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address"});
        m_address = waitForLine(m_daemon, "dbus-daemon", [](const QString &line) { return line.startsWith("unix:"); });
    }
    ~PrivateBus() { stop(); }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    const QString &address() const { return m_address; }
    void stop() { stopProcess(m_daemon); }

private:
    static QString configText(const QString &socketPath, const QString &serviceDir)
    {
        return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n"
               "  <type>session</type>\n"
               "  <listen>unix:path=" + socketPath.toHtmlEscaped() + "</listen>\n"
               + (serviceDir.isEmpty() ? QString() : "  <servicedir>" + serviceDir.toHtmlEscaped() + "</servicedir>\n")
               + "  <policy context=\"default\">\n"
                 "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                 "    <allow eavesdrop=\"true\"/>\n"
                 "    <allow own=\"*\"/>\n"
                 "  </policy>\n"
                 "</busconfig>\n";
    }

    QProcess m_daemon;
    QString m_address;
};

enum class ProgressAppMode { Answer, Hang, Fail };

class FakeProgressApp
{
public:
    explicit FakeProgressApp(const QString &busAddress, ProgressAppMode mode = ProgressAppMode::Answer)
        : m_log(testenv::root() + "/progress-app-" + QString::number(++instances()) + ".log")
    {
        using namespace platform::dbus;
        m_process.start("/usr/bin/python3",
                        {testenv::sourceDir() + "/tests/platform/fake_progress_app.py", busAddress, m_log, modeName(mode),
                         ProgressService, ProgressPath, ProgressInterface, InactivateProgressAppMethod});
        waitForLine(m_process, "the fake progress application", [](const QString &line) { return line == "ready"; });
    }
    ~FakeProgressApp() { stopProcess(m_process); }
    FakeProgressApp(const FakeProgressApp &) = delete;
    FakeProgressApp &operator=(const FakeProgressApp &) = delete;

    // The calls received so far, one "caller reserved" line each, in order.
    QStringList calls() const
    {
        QFile file(m_log);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private:
    static int &instances()
    {
        static int count = 0;
        return count;
    }
    static QString modeName(ProgressAppMode mode)
    {
        switch (mode) {
        case ProgressAppMode::Hang:
            return "hang";
        case ProgressAppMode::Fail:
            return "fail";
        case ProgressAppMode::Answer:
            break;
        }
        return "answer";
    }

    QString m_log;
    QProcess m_process;
};

} // namespace testbus
