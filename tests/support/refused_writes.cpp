#include "refused_writes.h"

#include "test_env.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>

#include <grp.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace testenv {
namespace {

constexpr uid_t Nobody = 65534;

QString machineStore()
{
    return qEnvironmentVariable("TELLVARA_ROOT") + QStringLiteral("/etc/tellvara/registry");
}

int modeOf(const QString &path)
{
    struct stat st;
    return stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

void setMode(const QString &path, int mode)
{
    if (chmod(QFile::encodeName(path).constData(), mode_t(mode)) != 0)
        throw std::runtime_error(("cannot change the mode of " + path).toStdString());
}

void check(int result, const char *what)
{
    if (result != 0)
        throw std::runtime_error(what);
}

// Acts as nobody in this process until destroyed; the saved set-user-ID stays root, so
// root comes back.
class ActingAsNobody
{
public:
    ActingAsNobody()
        : m_groups(std::size_t(getgroups(0, nullptr)))
    {
        check(getgroups(int(m_groups.size()), m_groups.data()) < 0, "getgroups");
        check(setgroups(0, nullptr), "setgroups");
        check(setegid(Nobody), "setegid");
        check(seteuid(Nobody), "seteuid");
    }
    ~ActingAsNobody()
    {
        if (seteuid(0) != 0 || setegid(m_gid) != 0 || setgroups(m_groups.size(), m_groups.data()) != 0)
            std::abort(); // a test left running as nobody would prove nothing
    }

private:
    gid_t m_gid = getegid();
    std::vector<gid_t> m_groups;
};

} // namespace

RefusedMachineWrites::RefusedMachineWrites()
    : m_asNobody(geteuid() == 0)
{
    QDir().mkpath(machineStore());
    if (m_asNobody) {
        // The private root is the test's own: let another account reach the store in it.
        for (const QString &folder : {root(), qEnvironmentVariable("TELLVARA_ROOT")})
            setMode(folder, 0755);
        return;
    }
    QDirIterator folders(machineStore(), QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    m_folderModes.insert(machineStore(), modeOf(machineStore()));
    while (folders.hasNext())
        m_folderModes.insert(folders.next(), 0);
    for (auto it = m_folderModes.begin(); it != m_folderModes.end(); ++it) {
        it.value() = modeOf(it.key());
        setMode(it.key(), it.value() & ~0222);
    }
}

RefusedMachineWrites::~RefusedMachineWrites()
{
    for (auto it = m_folderModes.cbegin(); it != m_folderModes.cend(); ++it)
        chmod(QFile::encodeName(it.key()).constData(), mode_t(it.value()));
}

void RefusedMachineWrites::run(const std::function<void()> &code) const
{
    if (!m_asNobody) {
        code();
        return;
    }
    const ActingAsNobody nobody;
    code();
}

ProgramRun RefusedMachineWrites::runProgram(const QString &program, const QStringList &args, const RunOptions &options) const
{
    if (!m_asNobody)
        return testenv::runProgram(program, args, options);
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        throw std::runtime_error("setpriv is needed to run a program as nobody");
    return testenv::runProgram(setpriv,
                               QStringList{QStringLiteral("--reuid=%1").arg(Nobody), QStringLiteral("--regid=%1").arg(Nobody),
                                           QStringLiteral("--clear-groups"), QStringLiteral("--"), program}
                                   + args,
                               options);
}

} // namespace testenv
