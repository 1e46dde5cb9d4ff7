#include "platform/testing/scripted_service_manager.h"

#include "platform/error.h"

#include <QFile>
#include <QList>

namespace platform::testing {

// An entry of a status sequence; none stands for a query that fails.
using ScriptedStatus = std::optional<ServiceStatus>;

struct ScriptedServiceManager::State
{
    bool reachable = true;
    bool installed = true;
    bool controlAllowed = true;
    QString start;   // "accept", "refuse" or "" for the default
    QString stop;
    QList<ScriptedStatus> afterStart{ServiceStatus{ServiceRunning, 0, 0}};
    QList<ScriptedStatus> afterStop{ServiceStatus{ServiceStopped, 0, 0}};
    QList<ScriptedStatus> sequence{ServiceStatus{ServiceStopped, 0, 0}};
    QStringList calls;

    ScriptedStatus current() const { return sequence.first(); }
    ScriptedStatus next()
    {
        return sequence.size() > 1 ? sequence.takeFirst() : sequence.first();
    }
};

namespace {

using State = ScriptedServiceManager::State;

[[noreturn]] void badLine(const QString &line)
{
    throw platform::Error(QStringLiteral("Cannot read the service script line: %1").arg(line));
}

ScriptedStatus parseStatus(const QString &text, const QString &line)
{
    if (text.trimmed() == QLatin1String("fail"))
        return std::nullopt;
    const QStringList numbers = text.simplified().split(QLatin1Char(' '));
    ServiceStatus status;
    bool ok[3] = {};
    if (numbers.size() == 3) {
        status.currentState = numbers.at(0).toUInt(&ok[0]);
        status.checkPoint = numbers.at(1).toUInt(&ok[1]);
        status.waitHint = numbers.at(2).toUInt(&ok[2]);
    }
    if (!ok[0] || !ok[1] || !ok[2])
        badLine(line);
    return status;
}

QList<ScriptedStatus> parseSequence(const QString &text, const QString &line)
{
    QList<ScriptedStatus> sequence;
    for (const QString &entry : text.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        sequence.append(parseStatus(entry, line));
    if (sequence.isEmpty())
        badLine(line);
    return sequence;
}

bool parseChoice(const QString &value, const char *yes, const char *no, const QString &line)
{
    if (value == QLatin1String(yes))
        return true;
    if (value != QLatin1String(no))
        badLine(line);
    return false;
}

QString parseAnswer(const QString &value, const QString &line)
{
    if (value != QLatin1String("accept") && value != QLatin1String("refuse"))
        badLine(line);
    return value;
}

void applyLine(State &state, const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        badLine(line);
    const QString key = line.left(eq).trimmed();
    const QString value = line.mid(eq + 1).trimmed();
    if (key == QLatin1String("manager"))
        state.reachable = parseChoice(value, "reachable", "unreachable", line);
    else if (key == QLatin1String("installed"))
        state.installed = parseChoice(value, "yes", "no", line);
    else if (key == QLatin1String("control"))
        state.controlAllowed = parseChoice(value, "allowed", "denied", line);
    else if (key == QLatin1String("status"))
        state.sequence = {parseStatus(value, line)};
    else if (key == QLatin1String("start"))
        state.start = parseAnswer(value, line);
    else if (key == QLatin1String("stop"))
        state.stop = parseAnswer(value, line);
    else if (key == QLatin1String("after-start"))
        state.afterStart = parseSequence(value, line);
    else if (key == QLatin1String("after-stop"))
        state.afterStop = parseSequence(value, line);
    else
        badLine(line);
}

bool isStopped(const ScriptedStatus &status)
{
    return status && status->currentState == ServiceStopped;
}

class ScriptedService : public Service
{
public:
    explicit ScriptedService(std::shared_ptr<State> state)
        : m_state(std::move(state))
    {
    }
    ~ScriptedService() override { m_state->calls.append(QStringLiteral("close")); }

    std::optional<ServiceStatus> queryStatus() override
    {
        m_state->calls.append(QStringLiteral("query"));
        return m_state->next();
    }

    ServiceResult start() override
    {
        m_state->calls.append(QStringLiteral("start"));
        const bool accept = m_state->start.isEmpty() ? isStopped(m_state->current()) : m_state->start == QLatin1String("accept");
        if (!accept)
            return ServiceResult::Refused;
        m_state->sequence = m_state->afterStart;
        return ServiceResult::Ok;
    }

    StopOutcome stop() override
    {
        m_state->calls.append(QStringLiteral("stop"));
        const bool accept = m_state->stop.isEmpty() ? !isStopped(m_state->current()) : m_state->stop == QLatin1String("accept");
        if (!accept)
            return {ServiceResult::Refused, m_state->current()};
        m_state->sequence = m_state->afterStop;
        return {ServiceResult::Ok, m_state->current()};
    }

private:
    std::shared_ptr<State> m_state;
};

class ScriptedConnection : public ServiceManagerConnection
{
public:
    explicit ScriptedConnection(std::shared_ptr<State> state)
        : m_state(std::move(state))
    {
    }

    OpenedService openService(const QString &name, unsigned rights) override
    {
        m_state->calls.append(QStringLiteral("open %1 0x%2").arg(name).arg(rights, 0, 16));
        if (!m_state->installed)
            return {ServiceResult::NotInstalled, nullptr};
        if ((rights & (StartRight | StopRight)) && !m_state->controlAllowed)
            return {ServiceResult::AccessDenied, nullptr};
        return {ServiceResult::Ok, std::make_unique<ScriptedService>(m_state)};
    }

private:
    std::shared_ptr<State> m_state;
};

} // namespace

ScriptedServiceManager::ScriptedServiceManager(const QString &script)
    : m_state(std::make_shared<State>())
{
    for (const QString &raw : script.split(QLatin1Char('\n'))) {
        const QString line = raw.section(QLatin1Char('#'), 0, 0).trimmed();
        if (!line.isEmpty())
            applyLine(*m_state, line);
    }
}

std::unique_ptr<ScriptedServiceManager> ScriptedServiceManager::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Error(QStringLiteral("Cannot read the service script %1: %2").arg(path, file.errorString()));
    return std::make_unique<ScriptedServiceManager>(QString::fromUtf8(file.readAll()));
}

std::unique_ptr<ServiceManagerConnection> ScriptedServiceManager::connect(const QString &machine)
{
    m_state->calls.append(QStringLiteral("connect %1").arg(machine));
    if (!m_state->reachable)
        return nullptr;
    return std::make_unique<ScriptedConnection>(m_state);
}

QStringList ScriptedServiceManager::calls() const
{
    return m_state->calls;
}

} // namespace platform::testing
