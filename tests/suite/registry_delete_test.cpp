// Deleting keys: depth first, silently where a key stays, and always to an end.
#include "suite/registry.h"

#include "platform/testing/recording_presenter.h"
#include "test_env.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <map>

namespace {

using platform::RegistryResult;
using platform::RegistryStatus;
using suite::RegistryRoot;

const RegistryRoot Machine = RegistryRoot::LocalMachine;

QString machineDir()
{
    return qEnvironmentVariable("TELLVARA_ROOT") + "/etc/tellvara/registry";
}

bool keyExists(RegistryRoot root, const QString &path)
{
    std::unique_ptr<platform::RegistryKey> key;
    return platform::registryStore().openKey(root, path, platform::RegistryAccess::Read, key).ok();
}

void writeTree(RegistryRoot root, const QString &top)
{
    for (const QString &path : {top, top + "\\A", top + "\\A\\B", top + "\\A\\B\\C", top + "\\A\\B2", top + "\\D"}) {
        ASSERT_TRUE(suite::WriteRegistryString(root, path, "Value", path));
        ASSERT_TRUE(suite::WriteRegistryString(root, path, "", "default"));
    }
}

TEST(RegistryDelete, RemovesAKeyWithThreeLevelsOfSubKeys)
{
    platform::testing::RecordingPresenter presenter;
    writeTree(Machine, "SOFTWARE\\Tellvara\\Old");
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE\\Tellvara\\Kept", "Value", "1"));
    suite::DeleteRegistryKey(Machine, "SOFTWARE\\Tellvara\\Old");
    EXPECT_FALSE(keyExists(Machine, "SOFTWARE\\Tellvara\\Old"));
    EXPECT_FALSE(QFileInfo::exists(machineDir() + "/software/tellvara/old"));
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Tellvara\\Kept", "Value"), "1");
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST(RegistryDelete, ATrailingBackslashNamesTheSameKey)
{
    writeTree(RegistryRoot::CurrentUser, "Software\\X");
    suite::DeleteRegistryKey(RegistryRoot::CurrentUser, "software\\x\\");
    EXPECT_FALSE(keyExists(RegistryRoot::CurrentUser, "Software\\X"));
    EXPECT_TRUE(keyExists(RegistryRoot::CurrentUser, "Software"));
}

TEST(RegistryDelete, AKeyDirectlyUnderTheRootIsOnlyEmptied)
{
    for (const QString &path : {QString("Top"), QString("Top\\")}) {
        writeTree(Machine, "Top");
        suite::DeleteRegistryKey(Machine, path);
        EXPECT_TRUE(keyExists(Machine, "Top"));
        const QStringList left = QDir(machineDir() + "/top").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
    }
}

TEST(RegistryDelete, AnAbsentKeyDoesNothingVisible)
{
    platform::testing::RecordingPresenter presenter;
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "SOFTWARE\\Present", "v", "1"));
    suite::DeleteRegistryKey(Machine, "SOFTWARE\\Absent");
    suite::DeleteRegistryKey(Machine, "Absent\\Deeper\\Still");
    suite::DeleteRegistryKey(RegistryRoot::CurrentUser, "SOFTWARE\\Present");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "SOFTWARE\\Present", "v"), "1");
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST(RegistryDelete, AnEmptyNameInThePathDeletesNothing)
{
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "A\\B", "v", "1"));
    suite::DeleteRegistryKey(Machine, "A\\\\B");
    suite::DeleteRegistryKey(Machine, "\\A\\B");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "A\\B", "v"), "1");
}

TEST(RegistryDelete, EndsWhenASubKeyCannotBeDeleted)
{
    platform::testing::RecordingPresenter presenter;
    writeTree(Machine, "Tree\\Top");
    // A file the store does not know holds B: B opens and empties but stays.
    testenv::writeFile(machineDir() + "/tree/top/a/b/README", "an administrator's note");
    suite::DeleteRegistryKey(Machine, "Tree\\Top");
    EXPECT_TRUE(keyExists(Machine, "Tree\\Top\\A\\B"));
    EXPECT_TRUE(QFileInfo::exists(machineDir() + "/tree/top/a/b/README"));
    EXPECT_FALSE(keyExists(Machine, "Tree\\Top\\A\\B\\C"));
    EXPECT_FALSE(keyExists(Machine, "Tree\\Top\\A\\B2")); // met after the one that stayed
    EXPECT_FALSE(keyExists(Machine, "Tree\\Top\\D"));
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Tree\\Top\\A\\B", "Value"), "");
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

// What a scripted key holds and answers: a fixed list of values and sub-keys, with
// chosen results for listing and deleting them.
struct KeyScript
{
    QStringList values;
    std::map<QString, std::shared_ptr<KeyScript>> subKeys;
    RegistryStatus listValues; // what listing values answers while values remain
    bool subKeysDelete = true;
    int deleteAttempts = 0;
};

class ScriptedKey : public platform::RegistryKey
{
public:
    explicit ScriptedKey(std::shared_ptr<KeyScript> script) : m_script(std::move(script)) {}

    RegistryStatus queryValue(const QString &, qsizetype, QString &) const override
    {
        return {RegistryResult::NotFound, ENOENT};
    }
    RegistryStatus setValue(const QString &, const QString &) override { return {RegistryResult::Failed, EIO}; }
    RegistryStatus deleteValue(const QString &name) override
    {
        m_script->values.removeOne(name);
        return {};
    }
    RegistryStatus valueNameAt(int index, qsizetype, qsizetype, QString &name) const override
    {
        if (index >= m_script->values.size())
            return {RegistryResult::NoMoreItems, ENODATA};
        if (!m_script->listValues.ok())
            return m_script->listValues;
        name = m_script->values.at(index);
        return {};
    }
    RegistryStatus subKeyNameAt(int index, qsizetype, QString &name) const override
    {
        if (index >= int(m_script->subKeys.size()))
            return {RegistryResult::NoMoreItems, ENODATA};
        name = std::next(m_script->subKeys.begin(), index)->first;
        return {};
    }
    RegistryStatus openSubKey(const QString &name, platform::RegistryAccess,
                              std::unique_ptr<platform::RegistryKey> &key) const override
    {
        key = std::make_unique<ScriptedKey>(m_script->subKeys.at(name));
        return {};
    }
    RegistryStatus deleteSubKey(const QString &name) override
    {
        ++m_script->deleteAttempts;
        if (!m_script->subKeysDelete)
            return {RegistryResult::AccessDenied, EACCES};
        m_script->subKeys.erase(name);
        return {};
    }

private:
    std::shared_ptr<KeyScript> m_script;
};

TEST(RegistryDelete, RefusedValueListingIsShownAndSubKeysStillGo)
{
    platform::testing::RecordingPresenter presenter;
    auto script = std::make_shared<KeyScript>();
    script->values = {"a", "b"};
    script->listValues = {RegistryResult::AccessDenied, EACCES};
    script->subKeys["Sub"] = std::make_shared<KeyScript>();
    ScriptedKey key(script);
    suite::ClearRegistryKey(key);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes().first().text,
              QString::fromUtf8("Det gick inte att radera värdet i registret!\r\rÅtkomst nekad"));
    EXPECT_EQ(script->values.size(), 2);
    EXPECT_TRUE(script->subKeys.empty());
}

TEST(RegistryDelete, SubKeysThatStayAreSteppedPast)
{
    auto script = std::make_shared<KeyScript>();
    script->subKeysDelete = false;
    for (const char *name : {"a", "b", "c"}) {
        auto sub = std::make_shared<KeyScript>();
        sub->values = {"v1", "v2"};
        script->subKeys[name] = sub;
    }
    ScriptedKey key(script);
    suite::ClearRegistryKey(key);
    EXPECT_EQ(script->deleteAttempts, 3);
    for (const auto &[name, sub] : script->subKeys)
        EXPECT_TRUE(sub->values.isEmpty()) << name.toStdString();
}

TEST(RegistryDelete, TooLongNamesEndTheLoops)
{
    // Names of 512 units and more do not fit the enumeration buffers: the key is left as is.
    const QString longName(600, u'n');
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "Long\\Key", longName, "x"));
    ASSERT_TRUE(suite::WriteRegistryString(Machine, "Long\\Key\\" + longName, "v", "x"));
    suite::DeleteRegistryKey(Machine, "Long\\Key");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Long\\Key", longName), "x");
    EXPECT_EQ(suite::ReadRegistryString(Machine, "Long\\Key\\" + longName, "v"), "x");
}

} // namespace
