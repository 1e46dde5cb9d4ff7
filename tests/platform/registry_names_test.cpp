// Names of the file-tree registry store: how a key path splits and how a name becomes a
// directory entry that the file system never interprets.
#include "platform/linux/registry_names_p.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace platform::registry;

QString text(const char16_t *units, qsizetype size = -1)
{
    return size < 0 ? QString::fromUtf16(units) : QString::fromUtf16(units, size);
}

TEST(RegistryNames, KeyPathsSplitIntoNames)
{
    struct Case
    {
        const char16_t *path;
        std::optional<QStringList> names;
    };
    const Case cases[] = {
        {u"", QStringList()},
        {u"\\", QStringList()}, // the root with its trailing backslash
        {u"SOFTWARE", QStringList{"SOFTWARE"}},
        {u"SOFTWARE\\", QStringList{"SOFTWARE"}},
        {u"SOFTWARE\\Tellvara\\Vardo-Service\\Port", QStringList{"SOFTWARE", "Tellvara", "Vardo-Service", "Port"}},
        {u"a\\b\\", QStringList{"a", "b"}},
        {u"..\\.\\x", QStringList{"..", ".", "x"}},
        {u"a/b", QStringList{"a/b"}},
        {u"\\a", std::nullopt},
        {u"a\\\\b", std::nullopt},
        {u"a\\\\", std::nullopt},
        {u"\\\\", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(splitKeyPath(text(c.path)), c.names) << text(c.path).toStdString();
}

TEST(RegistryNames, EntriesNeverReachTheFileSystemAsPathSyntax)
{
    struct Case
    {
        QString name;
        QByteArray entry;
    };
    const Case cases[] = {
        {"SOFTWARE", "software"},
        {"Vardo-Service", "vardo-service"},
        {"Org Nr_1", "org nr_1"},
        {"", "@"},
        {".", "%2e"},
        {"..", "%2e%2e"},
        {".hidden", "%2ehidden"},
        {"a/b", "a%2fb"},
        {text(u"a\0b", 3), "a%00b"},
        {"100%", "100%25"},
        {"@", "%40"},
        {"~x", "%7ex"},
        {"a\\b", "a%5cb"},
        {"file.udl", "file%2eudl"},
        {text(u"Åtkomst"), "\xc3\xa5tkomst"},
        {text(u"x\U0001F600"), "x\xf0\x9f\x98\x80"},
        {text(u"\xd800z", 2), "%ud800z"}, // a lone surrogate
    };
    for (const Case &c : cases) {
        EXPECT_EQ(keyEntry(c.name), c.entry) << c.name.toStdString();
        EXPECT_EQ(valueEntry(c.name), c.entry + ".v") << c.name.toStdString();
    }
}

TEST(RegistryNames, LetterCaseDoesNotMatter)
{
    EXPECT_EQ(keyEntry("SOFTWARE\\X"), keyEntry("software\\x"));
    EXPECT_EQ(keyEntry(text(u"ÅÄÖ")), keyEntry(text(u"åäö")));
    EXPECT_EQ(valueEntry("TcpIPPort"), valueEntry("tcpipport"));
    EXPECT_NE(keyEntry("a"), keyEntry("b"));
}

TEST(RegistryNames, LongNamesAreShortenedToAHash)
{
    const QString longName(300, u'A');
    const QByteArray entry = keyEntry(longName);
    EXPECT_EQ(entry.size(), 65);
    EXPECT_TRUE(entry.startsWith('~'));
    EXPECT_EQ(entry, keyEntry(longName.toLower()));
    EXPECT_NE(entry, keyEntry(QString(300, u'B')));
    EXPECT_LE(valueEntry(QString(1024, u'.')).size(), 255);
    EXPECT_LE(valueEntry(QString(1000, QChar(0x4e2d))).size(), 255);
    // Just short enough: still readable.
    EXPECT_EQ(keyEntry(QString(MaxPlainEntry, u'a')), QByteArray(MaxPlainEntry, 'a'));
}

TEST(RegistryNames, OwnEntriesGiveBackTheirNames)
{
    for (const QString &name : {QString("software"), QString(), QString(".."), text(u"a\0b", 3), text(u"åtkomst"),
                                text(u"\xdc00", 1), QString("org nr_1%")})
        EXPECT_EQ(nameFromEntry(keyEntry(name)), name) << name.toStdString();
    for (const QByteArray entry : {"SOFTWARE", "%2E", "%2", "a%zz", "%u12", "~0123", "a.b", ""})
        EXPECT_EQ(nameFromEntry(entry), std::nullopt) << entry.constData();
}

TEST(RegistryNames, EntriesAreClassified)
{
    struct Case
    {
        QByteArray entry;
        FileType type;
        EntryKind kind;
    };
    const Case cases[] = {
        {"software", FileType::Directory, EntryKind::Key},
        {"tcpipport.v", FileType::Regular, EntryKind::Value},
        {"@.v", FileType::Regular, EntryKind::Value},
        {".name", FileType::Regular, EntryKind::StoreFile},
        {".tmp-12ab", FileType::Regular, EntryKind::StoreFile},
        {".name", FileType::Directory, EntryKind::Foreign},
        {".v", FileType::Regular, EntryKind::Foreign},
        {"a.b.v", FileType::Regular, EntryKind::Foreign},
        {"readme.txt", FileType::Regular, EntryKind::Foreign},
        {"software", FileType::Regular, EntryKind::Foreign},
        {"x.v", FileType::Directory, EntryKind::Foreign},
        {"x.v", FileType::Other, EntryKind::Foreign},
        {"link", FileType::Other, EntryKind::Foreign},
        {".git", FileType::Directory, EntryKind::Foreign},
    };
    for (const Case &c : cases)
        EXPECT_EQ(classifyEntry(c.entry, c.type), c.kind) << c.entry.constData();
}

} // namespace
