#include "platform/local/local_service_manager.h"

#include "platform/local/detached_launch.h"
#include "platform/local/local_service_definition.h"
#include "platform/local/local_service_names.h"
#include "platform/local/process_identity.h"
#include "platform/special_folders.h"
#include "platform/error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <cerrno>
#include <csignal>

#include <unistd.h>

namespace platform::local {
namespace {

constexpr int LockWaitMs = 2000;

struct RunFiles
{
    QString folder;
    QString pid;
    QString ready;
    QString stopping;
    QString log;
    QString lock;

    RunFiles(const QString &root, const QString &name)
        : folder(root + RunFolder)
        , pid(folder + QLatin1Char('/') + name + PidSuffix)
        , ready(folder + QLatin1Char('/') + name + ReadySuffix)
        , stopping(folder + QLatin1Char('/') + name + StoppingSuffix)
        , log(folder + QLatin1Char('/') + name + LogSuffix)
        , lock(folder + QLatin1Char('/') + name + LockSuffix)
    {
    }
};

struct PidRecord
{
    qint64 pid = 0;
    quint64 startTime = 0;
};

std::optional<PidRecord> readPidRecord(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = file.read(64).simplified().split(' ');
    bool pidOk = false;
    bool startOk = false;
    PidRecord record;
    if (fields.size() == 2) {
        record.pid = fields.at(0).toLongLong(&pidOk);
        record.startTime = fields.at(1).toULongLong(&startOk);
    }
    if (!pidOk || !startOk || record.pid <= 0)
        return std::nullopt;
    return record;
}

bool isLive(const PidRecord &record)
{
    return processStartTime(record.pid) == record.startTime;
}

bool readyFileNames(const QString &path, qint64 pid)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(32).trimmed().toLongLong() == pid;
}

qint64 millisecondsSince(const QString &path)
{
    const QDateTime then = QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
    return qMax<qint64>(0, then.msecsTo(QDateTime::currentDateTimeUtc()));
}

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw platform::Error(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}

// Signals the service's process group when it leads one (as every daemon started here
// does), so helpers it started stop with it.
int signalService(qint64 pid, int signal)
{
    const pid_t target = getpgid(static_cast<pid_t>(pid)) == pid ? -static_cast<pid_t>(pid) : static_cast<pid_t>(pid);
    return ::kill(target, signal) == 0 ? 0 : errno;
}

bool mayControl(const QString &runFolder)
{
    return QDir().mkpath(runFolder) && ::access(QFile::encodeName(runFolder).constData(), W_OK | X_OK) == 0;
}

struct Observation
{
    std::uint32_t state = ServiceStopped;
    PidRecord process;
    qint64 pendingMs = 0;
};

class LocalService : public Service
{
public:
    LocalService(const QString &root, const QString &name, std::optional<ServiceDefinition> definition,
                 QString definitionError, unsigned rights)
        : m_root(root)
        , m_files(root, name)
        , m_definition(std::move(definition))
        , m_definitionError(std::move(definitionError))
        , m_rights(rights)
    {
    }

    std::optional<ServiceStatus> queryStatus() override
    {
        Observation seen = observe();
        if (seen.state == ServiceStopPending && (m_rights & StopRight) && seen.pendingMs >= stopTimeoutMs()) {
            signalService(seen.process.pid, SIGKILL);
            seen = observe();
        }
        return statusOf(seen);
    }

    ServiceResult start() override
    {
        QLockFile lock(m_files.lock);
        if (!lock.tryLock(LockWaitMs))
            return ServiceResult::Refused;
        if (observe().state != ServiceStopped)
            return ServiceResult::Refused;
        if (!m_definition) {
            qWarning("%s", qPrintable(m_definitionError));
            return ServiceResult::Refused;
        }
        try {
            launch();
        } catch (const platform::Error &e) {
            qWarning("%s", qPrintable(e.message()));
            return ServiceResult::Refused;
        }
        return ServiceResult::Ok;
    }

    StopOutcome stop() override
    {
        QLockFile lock(m_files.lock);
        if (!lock.tryLock(LockWaitMs))
            return {ServiceResult::Refused, statusOf(observe())};
        const Observation seen = observe();
        if (seen.state == ServiceStopped)
            return {ServiceResult::Refused, statusOf(seen)};
        // A repeated stop keeps the first request's time, so the grace is not prolonged.
        const bool firstRequest = !QFileInfo::exists(m_files.stopping);
        if (firstRequest && !QFile(m_files.stopping).open(QIODevice::WriteOnly))
            return {ServiceResult::AccessDenied, statusOf(seen)};
        const int error = signalService(seen.process.pid, SIGTERM);
        if (error != 0 && firstRequest)
            QFile::remove(m_files.stopping);
        if (error == EPERM)
            return {ServiceResult::AccessDenied, statusOf(observe())};
        if (error != 0)
            return {ServiceResult::Refused, statusOf(observe())};
        // The control was accepted: the answer is the state at that moment, as the service
        // manager reports it, even when a quick service is already gone a moment later.
        return {ServiceResult::Ok, statusOf({ServiceStopPending, seen.process, 0})};
    }

private:
    int stopTimeoutMs() const { return m_definition ? m_definition->stopTimeoutMs : DefaultStopTimeoutMs; }
    bool notifyReady() const { return m_definition && m_definition->notifyReady; }

    Observation observe() const
    {
        const std::optional<PidRecord> record = readPidRecord(m_files.pid);
        if (!record || !isLive(*record))
            return {};
        if (QFileInfo::exists(m_files.stopping))
            return {ServiceStopPending, *record, millisecondsSince(m_files.stopping)};
        if (notifyReady() && !readyFileNames(m_files.ready, record->pid))
            return {ServiceStartPending, *record, millisecondsSince(m_files.pid)};
        return {ServiceRunning, *record, 0};
    }

    static ServiceStatus statusOf(const Observation &seen)
    {
        if (!isPendingState(seen.state))
            return {seen.state, 0, 0};
        const auto passed = static_cast<std::uint32_t>(qMin<qint64>(seen.pendingMs / PendingWaitHintMs, 1000000));
        return {seen.state, passed + 1, PendingWaitHintMs};
    }

    void launch()
    {
        for (const QString &leftover : {m_files.ready, m_files.stopping, m_files.pid})
            QFile::remove(leftover);
        const QByteArray readyVariable = QByteArray(ReadyFileVariable) + '=' + QFile::encodeName(m_files.ready);
        // The daemon works in "/", so a relative system root must reach it made absolute.
        const QByteArray rootVariable = "TELLVARA_ROOT=" + QFile::encodeName(m_root);
        const qint64 pid = launchDetached(m_definition->execStart, {readyVariable, rootVariable}, m_files.log);
        // A service that already died has no start time; the pid file then reads as stopped.
        const quint64 startTime = processStartTime(pid).value_or(0);
        writeFileAtomically(m_files.pid, QByteArray::number(pid) + ' ' + QByteArray::number(startTime) + '\n');
    }

    QString m_root;
    RunFiles m_files;
    std::optional<ServiceDefinition> m_definition;
    QString m_definitionError;
    unsigned m_rights;
};

bool isPlainName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('/'))
           && !name.contains(QChar());
}

class LocalConnection : public ServiceManagerConnection
{
public:
    explicit LocalConnection(QString root)
        : m_root(std::move(root))
    {
    }

    OpenedService openService(const QString &name, unsigned rights) override
    {
        if (!isPlainName(name))
            return {ServiceResult::NotInstalled, nullptr};
        QFile file(definitionPath(name));
        if (!file.exists())
            return {ServiceResult::NotInstalled, nullptr};
        if (!file.open(QIODevice::ReadOnly))
            return {ServiceResult::AccessDenied, nullptr};
        if ((rights & (StartRight | StopRight)) && !mayControl(m_root + RunFolder))
            return {ServiceResult::AccessDenied, nullptr};
        std::optional<ServiceDefinition> definition;
        QString error;
        try {
            definition = parseServiceDefinition(QString::fromUtf8(file.readAll()));
        } catch (const platform::Error &e) {
            error = QStringLiteral("%1: %2").arg(file.fileName(), e.message());
        }
        return {ServiceResult::Ok, std::make_unique<LocalService>(m_root, name, std::move(definition), error, rights)};
    }

private:
    QString m_root;
};

} // namespace

std::unique_ptr<ServiceManagerConnection> LocalServiceManager::connect(const QString &)
{
    const QString root = systemRoot();
    if (root.isEmpty())
        return nullptr;
    return std::make_unique<LocalConnection>(root);
}

} // namespace platform::local
