// A change killed at any moment: the archive is the old one or the new one, nothing of
// the dead writer's is left in the temporary folder, and whatever it left beside the
// archive is gone after the next change.
#include "archive_test_support.h"
#include "platform/file_replacement.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace archive;
using namespace archivetest;

namespace {

constexpr int SourceSize = 3 << 20;

struct Update
{
    QString archive;
    QString source;
    QByteArray oldArchive;
    QByteArray newArchive;
    int events = 0; // progress reports of one whole update
};

void updateArchive(const QString &archive, const QString &source, const std::function<void()> &onProgress = {})
{
    TZLBArchive zlb;
    zlb.SetThreads(1);
    zlb.SetCompressionLevel(fcFastest);
    if (onProgress)
        zlb.OnProgress = [&](const QString &, int) { onProgress(); };
    zlb.OpenArchive(archive);
    QStringList list{source};
    zlb.UpdateFiles(list);
}

// An archive of two entries and a new version of the bigger one; what the archive is
// before and after the update, and how many reports the update makes.
Update prepare(const QString &name)
{
    Update update;
    const QString folder = testenv::freshDir(name);
    update.archive = folder + "/data.zlb";
    update.source = testenv::freshDir(name + "-sources") + "/big.bin";
    testenv::writeFile(update.source, noise(SourceSize, 1));
    testenv::writeFile(QFileInfo(update.source).path() + "/small.txt", "small");
    {
        TZLBArchive zlb;
        zlb.CreateArchive(update.archive);
        QStringList list{update.source, QFileInfo(update.source).path() + "/small.txt"};
        zlb.AddFiles(list);
    }
    update.oldArchive = testenv::readFile(update.archive);
    testenv::writeFile(update.source, noise(SourceSize, 2));
    updateArchive(update.archive, update.source, [&] { ++update.events; });
    update.newArchive = testenv::readFile(update.archive);
    testenv::writeFile(update.archive, update.oldArchive);
    return update;
}

// Runs the update in a child process that `stop` ends; whether the child was killed.
bool killedUpdate(const Update &update, bool named, const std::function<void(pid_t)> &stop,
                  const std::function<void()> &onProgress)
{
    const pid_t child = fork();
    if (child == 0) {
        platform::pretendNoUnnamedFiles(named);
        updateArchive(update.archive, update.source, onProgress);
        _exit(0);
    }
    stop(child);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

QStringList besideTheArchive(const Update &update)
{
    QStringList entries = QDir(QFileInfo(update.archive).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    entries.removeOne("data.zlb");
    return entries;
}

QStringList inTheTemporaryFolder()
{
    return QDir(QDir::tempPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// After a kill: the old or the new archive, no litter in the temporary folder, and none
// beside the archive once the next change is done. Puts the old archive back.
void checkAfterKill(const Update &update, const QString &when)
{
    const QByteArray now = testenv::readFile(update.archive);
    EXPECT_TRUE(now == update.oldArchive || now == update.newArchive) << when.toStdString();
    EXPECT_EQ(inTheTemporaryFolder(), QStringList()) << when.toStdString();
    updateArchive(update.archive, update.source);
    EXPECT_EQ(testenv::readFile(update.archive), update.newArchive) << when.toStdString();
    EXPECT_EQ(besideTheArchive(update), QStringList()) << when.toStdString();
    testenv::writeFile(update.archive, update.oldArchive);
}

TEST(ZlbCrash, AnUpdateKilledAtEachStepLeavesTheOldOrTheNewArchiveAndNoTemporaryFile)
{
    const Update update = prepare("steps");
    ASSERT_GT(update.events, 20);
    for (const bool named : {false, true}) {
        for (const int step : {1, update.events / 4, update.events / 2, update.events * 3 / 4, update.events - 1}) {
            const QString when = QString("%1 file, killed at report %2 of %3")
                                     .arg(named ? "named" : "unnamed")
                                     .arg(step)
                                     .arg(update.events);
            int reports = 0;
            const bool killed = killedUpdate(update, named, [](pid_t) {}, [&] {
                if (++reports == step)
                    raise(SIGKILL);
            });
            ASSERT_TRUE(killed) << when.toStdString();
            // An unnamed file vanishes with its writer; a named one stays until the next change.
            const QStringList left = besideTheArchive(update);
            if (named && step > 1 && step < update.events - 1) {
                ASSERT_EQ(left.size(), 1) << when.toStdString();
                EXPECT_TRUE(left.first().startsWith(".data.zlb.new-")) << when.toStdString();
            } else if (!named) {
                EXPECT_EQ(left, QStringList()) << when.toStdString();
            }
            checkAfterKill(update, when);
        }
    }
}

TEST(ZlbCrash, AnUpdateKilledAtARandomMomentLeavesTheOldOrTheNewArchive)
{
    const Update update = prepare("random");
    QElapsedTimer timer;
    timer.start();
    updateArchive(update.archive, update.source);
    const qint64 lasted = std::max<qint64>(timer.nsecsElapsed() / 1000, 1000);
    testenv::writeFile(update.archive, update.oldArchive);
    auto *random = QRandomGenerator::global();
    for (int round = 0; round < 12; ++round) {
        const bool named = round % 2 == 1;
        // Up to a little past the end, so some kills land between naming and renaming.
        const auto delay = static_cast<useconds_t>(random->bounded(lasted + lasted / 4));
        killedUpdate(update, named, [delay](pid_t child) {
            usleep(delay);
            kill(child, SIGKILL);
        }, {});
        checkAfterKill(update, QString("%1 file, killed after %2 µs").arg(named ? "named" : "unnamed").arg(delay));
    }
}

TEST(ZlbCrash, TheNextChangeRemovesOnlyTheFilesOfWritersThatAreGone)
{
    const Update update = prepare("leftovers");
    const QString folder = QFileInfo(update.archive).path();
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    waitpid(gone, nullptr, 0);
    const QString living = QString(".data.zlb.new-%1-2f").arg(getpid());
    const QStringList planted{
        QString(".data.zlb.new-%1-1f").arg(gone), // a dead writer's
        living,                                    // a writer still at work
        ".data.zlb.new-3f",                        // carries no writer: not ours to judge
        QString(".other.zlb.new-%1-4f").arg(gone), // another archive's
    };
    for (const QString &name : planted)
        testenv::writeFile(folder + "/" + name, "x");
    updateArchive(update.archive, update.source);
    QStringList left = besideTheArchive(update);
    QStringList kept = planted.mid(1);
    left.sort();
    kept.sort();
    EXPECT_EQ(left, kept);
    EXPECT_EQ(testenv::readFile(update.archive), update.newArchive);
}

} // namespace
