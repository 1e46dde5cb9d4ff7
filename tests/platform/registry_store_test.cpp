// The file-tree registry store on real files in the test's private root.
#include "platform/registry_store.h"

#include "test_env.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::KeyCreation;
using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryResult;
using platform::RegistryRoot;
using platform::RegistryStatus;

QString machineDir()
{
    return qEnvironmentVariable("TELLVARA_ROOT") + "/etc/tellvara/registry";
}

QString userDir()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + "/tellvara/registry";
}

QString sampleFile(const QString &name)
{
    return testenv::sourceDir() + "/tests/data/registry_store_test/" + name;
}

std::unique_ptr<RegistryKey> createKey(RegistryRoot root, const QString &path,
                                       KeyCreation creation = KeyCreation::GroupWritable)
{
    std::unique_ptr<RegistryKey> key;
    const RegistryStatus status = platform::registryStore().createKey(root, path, creation, key);
    EXPECT_TRUE(status.ok()) << path.toStdString() << ": " << status.text().toStdString();
    return key;
}

std::unique_ptr<RegistryKey> openKey(RegistryRoot root, const QString &path,
                                     RegistryAccess access = RegistryAccess::Read)
{
    std::unique_ptr<RegistryKey> key;
    if (!platform::registryStore().openKey(root, path, access, key).ok())
        return nullptr;
    return key;
}

QString query(const RegistryKey &key, const QString &name, RegistryStatus *status = nullptr)
{
    QString text;
    const RegistryStatus result = key.queryValue(name, 1 << 20, text);
    if (status)
        *status = result;
    return result.ok() ? text : QStringLiteral("<%1>").arg(int(result.result));
}

int modeOf(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

QSet<QString> filesBelow(const QString &dir)
{
    QSet<QString> files;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.insert(it.next());
    return files;
}

class ScopedUmask
{
public:
    explicit ScopedUmask(mode_t mask) : m_old(umask(mask)) {}
    ~ScopedUmask() { umask(m_old); }

private:
    mode_t m_old;
};

TEST(RegistryStore, ReadsTheValueFileFormat)
{
    QDir().mkpath(machineDir() + "/software");
    ASSERT_TRUE(QFile::copy(sampleFile("tcpipport.v"), machineDir() + "/software/tcpipport.v"));
    auto key = openKey(RegistryRoot::LocalMachine, "SOFTWARE");
    ASSERT_TRUE(key);
    EXPECT_EQ(query(*key, "TCPIPPORT"), "8080");
    QString name;
    ASSERT_TRUE(key->valueNameAt(0, 512, 8192, name).ok());
    EXPECT_EQ(name, "TcpIPPort");
}

TEST(RegistryStore, WritesTheValueFileFormat)
{
    auto key = createKey(RegistryRoot::LocalMachine, "SOFTWARE");
    ASSERT_TRUE(key->setValue("TcpIPPort", "8080").ok());
    EXPECT_EQ(testenv::readFile(machineDir() + "/software/tcpipport.v"), testenv::readFile(sampleFile("tcpipport.v")));
}

TEST(RegistryStore, DamagedValueFilesReadAsFailures)
{
    const QStringList samples{"wrong-magic.v", "future-version.v", "truncated.v", "trailing-bytes.v",
                              "odd-data-size.v", "huge-data-size.v", "empty.v", "header-only.v"};
    QDir().mkpath(machineDir() + "/damaged");
    for (const QString &sample : samples)
        ASSERT_TRUE(QFile::copy(sampleFile(sample), machineDir() + "/damaged/" + sample));
    auto key = openKey(RegistryRoot::LocalMachine, "damaged");
    ASSERT_TRUE(key);
    for (const QString &sample : samples) {
        RegistryStatus status;
        query(*key, QFileInfo(sample).completeBaseName(), &status);
        EXPECT_EQ(status.result, RegistryResult::Failed) << sample.toStdString();
    }
    // Still named by their entries, so that emptying a key can remove them.
    QStringList names;
    for (int i = 0;; ++i) {
        QString name;
        if (!key->valueNameAt(i, 512, 8192, name).ok())
            break;
        names.append(name);
    }
    EXPECT_EQ(names.size(), samples.size());
}

TEST(RegistryStore, RandomDamageNeverCrashes)
{
    const QByteArray good = testenv::readFile(sampleFile("tcpipport.v"));
    auto key = createKey(RegistryRoot::LocalMachine, "fuzz");
    const QString path = machineDir() + "/fuzz/v.v";
    auto check = [&](const QByteArray &bytes) {
        testenv::writeFile(path, bytes);
        RegistryStatus status;
        const QString text = query(*key, "v", &status);
        EXPECT_TRUE(status.ok() || status.result == RegistryResult::Failed);
        QString name;
        (void)key->valueNameAt(0, 512, 8192, name);
    };
    for (qsizetype length = 0; length < good.size(); ++length)
        check(good.left(length));
    for (qsizetype at = 0; at < good.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray bytes = good;
            bytes[at] = char(bytes.at(at) ^ (1 << bit));
            check(bytes);
        }
    }
}

TEST(RegistryStore, ForeignEntriesReadAsFailures)
{
    auto key = createKey(RegistryRoot::LocalMachine, "foreign");
    const QString dir = machineDir() + "/foreign";
    const QString outside = testenv::freshDir("outside");
    testenv::writeFile(outside + "/target", testenv::readFile(sampleFile("tcpipport.v")));
    QDir().mkpath(dir + "/directory.v");
    ASSERT_EQ(mkfifo(QFile::encodeName(dir + "/fifo.v").constData(), 0666), 0);
    ASSERT_TRUE(QFile::link(outside + "/target", dir + "/link.v"));
    QFile big(dir + "/big.v");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(64) << 20));
    big.close();
    for (const char *name : {"directory", "fifo", "link", "big"}) {
        RegistryStatus status;
        query(*key, name, &status);
        EXPECT_EQ(status.result, RegistryResult::Failed) << name;
    }
}

TEST(RegistryStore, HostileNamesStayInsideTheRoot)
{
    const QStringList hostile{
        "..",
        ".",
        "..\\..\\..\\..\\escape",
        ".\\.\\..",
        "a/../../../../b",
        "/etc/passwd",
        "%2e%2e",
        "~",
        "@",
        QString::fromUtf16(u"nul\0inside", 10),
        QString(1000, u'.'),
        QString(300, u'x') + "\\" + QString(300, u'/'),
        ".name",
        ".tmp-1",
    };
    createKey(RegistryRoot::LocalMachine, "");
    createKey(RegistryRoot::CurrentUser, "");
    const QSet<QString> before = filesBelow(testenv::root());
    const RegistryRoot roots[] = {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser};
    for (const RegistryRoot root : roots) {
        for (qsizetype i = 0; i < hostile.size(); ++i) {
            auto key = createKey(root, hostile[i]);
            ASSERT_TRUE(key);
            ASSERT_TRUE(key->setValue(hostile[i], QString::number(i)).ok());
        }
        auto names = createKey(root, "Names");
        for (qsizetype i = 0; i < hostile.size(); ++i)
            ASSERT_TRUE(names->setValue(hostile[i], QString::number(i)).ok());
    }
    for (const QString &file : filesBelow(testenv::root()) - before)
        EXPECT_TRUE(file.startsWith(machineDir() + "/") || file.startsWith(userDir() + "/")) << file.toStdString();
    // Every name met an entry of its own: nothing overwrote anything else.
    for (const RegistryRoot root : roots) {
        auto names = openKey(root, "names");
        for (qsizetype i = 0; i < hostile.size(); ++i) {
            auto key = openKey(root, hostile[i]);
            ASSERT_TRUE(key) << hostile[i].toStdString();
            EXPECT_EQ(query(*key, hostile[i]), QString::number(i));
            EXPECT_EQ(query(*names, hostile[i]), QString::number(i));
        }
    }
}

TEST(RegistryStore, InvalidPathsAreRefused)
{
    for (const QString &path : {QString("\\a"), QString("a\\\\b"), QString("a\\\\")}) {
        std::unique_ptr<RegistryKey> key;
        const RegistryStatus status =
            platform::registryStore().createKey(RegistryRoot::LocalMachine, path, KeyCreation::GroupWritable, key);
        EXPECT_EQ(status.result, RegistryResult::Failed);
        EXPECT_EQ(status.systemCode, EINVAL);
    }
}

TEST(RegistryStore, CreatedRightsDoNotFollowTheUmask)
{
    ScopedUmask mask(077);
    auto machine = createKey(RegistryRoot::LocalMachine, "Shared\\Key");
    ASSERT_TRUE(machine->setValue("Value", "x").ok());
    EXPECT_EQ(modeOf(machineDir() + "/shared"), 02775);
    EXPECT_EQ(modeOf(machineDir() + "/shared/key"), 02775);
    EXPECT_EQ(modeOf(machineDir() + "/shared/key/value.v"), 0664);
    EXPECT_EQ(modeOf(machineDir() + "/shared/key/.name"), 0664);

    // Below the group's store root a key keeps the set-group-id bit, with the umask's rights.
    auto plain = createKey(RegistryRoot::LocalMachine, "Plain", KeyCreation::Default);
    EXPECT_EQ(modeOf(machineDir()), 02775);
    EXPECT_EQ(modeOf(machineDir() + "/plain"), 02700);

    auto user = createKey(RegistryRoot::CurrentUser, "Own\\Key", KeyCreation::GroupWritable);
    ASSERT_TRUE(user->setValue("Value", "x").ok());
    EXPECT_EQ(modeOf(userDir() + "/own/key"), 0700);
    EXPECT_EQ(modeOf(userDir() + "/own/key/value.v"), 0600);
}

TEST(RegistryStore, AFileInTheWayIsNotADirectory)
{
    testenv::writeFile(machineDir() + "/software", "not a key");
    std::unique_ptr<RegistryKey> key;
    const RegistryStatus status = platform::registryStore().createKey(RegistryRoot::LocalMachine, "SOFTWARE\\X",
                                                                      KeyCreation::GroupWritable, key);
    EXPECT_EQ(status.result, RegistryResult::Failed);
    EXPECT_EQ(status.systemCode, ENOTDIR);
    EXPECT_EQ(status.text(), QString::fromLocal8Bit(strerror(ENOTDIR)));
    EXPECT_FALSE(key);
}

TEST(RegistryStore, PlantedLinksAreNotFollowed)
{
    const QString outside = testenv::freshDir("outside");
    createKey(RegistryRoot::LocalMachine, "");
    ASSERT_TRUE(QFile::link(outside, machineDir() + "/evil"));
    std::unique_ptr<RegistryKey> key;
    EXPECT_FALSE(platform::registryStore()
                     .createKey(RegistryRoot::LocalMachine, "evil\\x", KeyCreation::GroupWritable, key)
                     .ok());
    EXPECT_FALSE(openKey(RegistryRoot::LocalMachine, "evil"));
    EXPECT_TRUE(QDir(outside).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

    const QByteArray secret = testenv::readFile(sampleFile("tcpipport.v"));
    testenv::writeFile(outside + "/target", secret);
    auto real = createKey(RegistryRoot::LocalMachine, "k");
    ASSERT_TRUE(QFile::link(outside + "/target", machineDir() + "/k/v.v"));
    RegistryStatus status;
    query(*real, "v", &status);
    EXPECT_FALSE(status.ok());
    ASSERT_TRUE(real->setValue("v", "new").ok());
    EXPECT_EQ(testenv::readFile(outside + "/target"), secret);
    EXPECT_FALSE(QFileInfo(machineDir() + "/k/v.v").isSymLink());
    EXPECT_EQ(query(*real, "v"), "new");
}

TEST(RegistryStore, AKeyOpenedForReadingChangesNothing)
{
    auto writable = createKey(RegistryRoot::LocalMachine, "Key\\Sub");
    ASSERT_TRUE(writable->setValue("v", "1").ok());
    auto key = openKey(RegistryRoot::LocalMachine, "Key");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->setValue("v", "2").result, RegistryResult::AccessDenied);
    EXPECT_EQ(key->deleteSubKey("Sub").result, RegistryResult::AccessDenied);
    std::unique_ptr<RegistryKey> sub;
    ASSERT_TRUE(key->openSubKey("SUB", RegistryAccess::Read, sub).ok());
    EXPECT_EQ(sub->deleteValue("v").result, RegistryResult::AccessDenied);
    EXPECT_EQ(query(*sub, "V"), "1");
}

TEST(RegistryStore, WriteAccessNeedsTheRightToChangeTheKey)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may change every directory; tests/suite/registry_vardoctl_test runs this as nobody";
    createKey(RegistryRoot::LocalMachine, "Locked");
    const QByteArray locked = QFile::encodeName(machineDir() + "/locked");
    ASSERT_EQ(chmod(locked.constData(), 0555), 0);
    std::unique_ptr<RegistryKey> key;
    const RegistryStatus status =
        platform::registryStore().openKey(RegistryRoot::LocalMachine, "Locked", RegistryAccess::Write, key);
    EXPECT_EQ(status.result, RegistryResult::AccessDenied);
    EXPECT_EQ(status.systemCode, EACCES);
    EXPECT_TRUE(openKey(RegistryRoot::LocalMachine, "Locked"));
    chmod(locked.constData(), 0755); // so the private root can be removed
}

TEST(RegistryStore, EnumerationGivesNamesAsFirstWritten)
{
    const QString longName = "Long" + QString(600, u'n');
    auto key = createKey(RegistryRoot::LocalMachine, "Keys");
    for (const QString &sub : {QString("Alpha"), QString("beta"), longName})
        createKey(RegistryRoot::LocalMachine, "Keys\\" + sub);
    ASSERT_TRUE(key->setValue("One", "1").ok());
    ASSERT_TRUE(key->setValue("ONE", "1 again").ok());
    ASSERT_TRUE(key->setValue("Big", QString(5000, u'b')).ok());

    QStringList subKeys;
    QString name;
    for (int i = 0; key->subKeyNameAt(i, 1024, name).ok(); ++i)
        subKeys.append(name);
    EXPECT_EQ(subKeys, (QStringList{"Alpha", "beta", longName}));
    EXPECT_EQ(key->subKeyNameAt(3, 1024, name).result, RegistryResult::NoMoreItems);
    EXPECT_EQ(key->subKeyNameAt(2, 512, name).result, RegistryResult::MoreData);

    ASSERT_TRUE(key->valueNameAt(1, 512, 1 << 20, name).ok());
    EXPECT_EQ(name, "One");
    EXPECT_EQ(query(*key, "one"), "1 again");
    EXPECT_EQ(key->valueNameAt(1, 3, 8192, name).result, RegistryResult::MoreData);
    EXPECT_EQ(key->valueNameAt(0, 512, 8192, name).result, RegistryResult::MoreData); // Big: 10002 bytes
    EXPECT_EQ(key->valueNameAt(2, 512, 8192, name).result, RegistryResult::NoMoreItems);
}

TEST(RegistryStore, AKeyWithoutItsNameFileIsNamedByItsEntry)
{
    createKey(RegistryRoot::LocalMachine, "Parent\\Child");
    ASSERT_TRUE(QFile::remove(machineDir() + "/parent/child/.name"));
    auto key = openKey(RegistryRoot::LocalMachine, "parent");
    QString name;
    ASSERT_TRUE(key->subKeyNameAt(0, 512, name).ok());
    EXPECT_EQ(name, "child");
}

TEST(RegistryStore, DeleteSubKeyRemovesOnlyKeysWithoutSubKeys)
{
    auto grandChild = createKey(RegistryRoot::LocalMachine, "P\\Child\\Grand");
    ASSERT_TRUE(grandChild->setValue("g", "1").ok());
    auto child = createKey(RegistryRoot::LocalMachine, "P\\Child");
    ASSERT_TRUE(child->setValue("c", "1").ok());
    testenv::writeFile(machineDir() + "/p/child/grand/.tmp-0123", "left by a crash");
    auto parent = createKey(RegistryRoot::LocalMachine, "P");

    const RegistryStatus refused = parent->deleteSubKey("child");
    EXPECT_EQ(refused.result, RegistryResult::Failed);
    EXPECT_EQ(refused.systemCode, ENOTEMPTY);
    EXPECT_EQ(query(*child, "c"), "1");

    grandChild.reset();
    ASSERT_TRUE(child->deleteSubKey("GRAND").ok());
    EXPECT_FALSE(QFileInfo::exists(machineDir() + "/p/child/grand"));

    testenv::writeFile(machineDir() + "/p/child/README", "an administrator's note");
    EXPECT_EQ(parent->deleteSubKey("Child").systemCode, ENOTEMPTY);
    EXPECT_EQ(query(*child, "c"), "1");
    EXPECT_EQ(parent->deleteSubKey("absent").result, RegistryResult::NotFound);
}

TEST(RegistryStore, EmptyAndDefaultValues)
{
    auto key = createKey(RegistryRoot::CurrentUser, "Values");
    ASSERT_TRUE(key->setValue("", "default").ok());
    ASSERT_TRUE(key->setValue("Empty", "").ok());
    EXPECT_TRUE(QFileInfo::exists(userDir() + "/values/@.v"));
    EXPECT_EQ(query(*key, ""), "default");
    RegistryStatus status;
    EXPECT_EQ(query(*key, "empty", &status), "");
    EXPECT_TRUE(status.ok());
    // The data is the NUL alone.
    QString text;
    EXPECT_EQ(key->queryValue("empty", 1, text).result, RegistryResult::MoreData);
    EXPECT_TRUE(key->queryValue("empty", 2, text).ok());
    EXPECT_EQ(key->deleteValue("EMPTY").result, RegistryResult::Ok);
    query(*key, "empty", &status);
    EXPECT_EQ(status.result, RegistryResult::NotFound);
}

QStringList tempFilesIn(const QString &dir)
{
    return QDir(dir).entryList({".tmp-*"}, QDir::AllEntries | QDir::Hidden | QDir::System);
}

// The id of a process that has ended.
pid_t goneProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

void plantFile(const QString &path, time_t age)
{
    testenv::writeFile(path, "x");
    const timespec times[2] = {{time(nullptr) - age, 0}, {time(nullptr) - age, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

TEST(RegistryStore, TheNextWriteRemovesTemporaryFilesOfGoneWriters)
{
    auto key = createKey(RegistryRoot::LocalMachine, "Tidy");
    ASSERT_TRUE(key->setValue("Port", "1").ok());
    const QString dir = machineDir() + "/tidy";
    const QString gone = QString(".tmp-%1-1f").arg(goneProcess());
    const QString living = QString(".tmp-%1-2f").arg(getpid());
    plantFile(dir + "/" + gone, 0);
    plantFile(dir + "/" + living, 0);
    // Written before names carried the writer: stale once no writer could still be at it.
    plantFile(dir + "/.tmp-3f", 3600);
    plantFile(dir + "/.tmp-4f", 0);
    ASSERT_TRUE(key->setValue("Port", "2").ok());
    QStringList left = tempFilesIn(dir);
    QStringList kept({living, ".tmp-4f"});
    left.sort();
    kept.sort();
    EXPECT_EQ(left, kept);
    EXPECT_EQ(query(*key, "Port"), "2");
}

TEST(RegistryStore, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewValue)
{
    auto key = createKey(RegistryRoot::LocalMachine, "Killed");
    const QString older(3000, u'o');
    const QString newer(5000, u'n');
    ASSERT_TRUE(key->setValue("Value", older).ok());
    const QString dir = machineDir() + "/killed";
    for (int kill = 0; kill < 40; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int turn = 0;; ++turn)
                key->setValue("Value", turn % 2 ? older : newer);
        }
        usleep(useconds_t(200 + kill * 97 % 3000));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const QString value = query(*key, "Value");
        EXPECT_TRUE(value == older || value == newer) << value.left(20).toStdString();
        // The next write on the key leaves no temporary file behind.
        ASSERT_TRUE(key->setValue("Value", older).ok());
        EXPECT_EQ(tempFilesIn(dir), QStringList()) << "after kill " << kill;
    }
}

TEST(RegistryStore, TheRootsFollowTheEnvironment)
{
    const QString other = testenv::freshDir("other-system");
    qputenv("TELLVARA_ROOT", QFile::encodeName(other));
    createKey(RegistryRoot::LocalMachine, "Moved");
    EXPECT_TRUE(QFileInfo(other + "/etc/tellvara/registry/moved").isDir());

    const QString home = testenv::freshDir("other-home");
    qputenv("HOME", QFile::encodeName(home));
    qunsetenv("XDG_CONFIG_HOME");
    createKey(RegistryRoot::CurrentUser, "Moved");
    EXPECT_TRUE(QFileInfo(home + "/.config/tellvara/registry/moved").isDir());
    EXPECT_EQ(modeOf(home + "/.config/tellvara/registry"), 0700);
}

} // namespace
