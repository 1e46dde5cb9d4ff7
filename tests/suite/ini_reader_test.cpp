#include "suite/ini_reader.h"

#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

const QString ProviderValue = QStringLiteral(
    "SQLOLEDB.1;Integrated Security=SSPI;Initial Catalog=Läkarpraktik;Data Source=server");

QString sample(const QString &name)
{
    return testenv::sourceDir() + QStringLiteral("/tests/data/ini_reader/") + name;
}

QByteArray utf16LeWithMark(const QString &text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

struct FindCase
{
    const char *name;
    const char16_t *text;
    const char16_t *section;
    const char16_t *key;
    const char16_t *expected;
};

TEST(IniReader, FindsTheValueAfterTheFirstEquals)
{
    const FindCase cases[] = {
        {"data link", u"[oledb]\r\n; comment\r\nProvider=A;B=c\r\n", u"oledb", u"Provider", u"A;B=c"},
        {"names ignore case", u"[OLEDB]\nPROVIDER=x\n", u"oledb", u"provider", u"x"},
        {"blanks around names and value", u"  [ oledb ]  \n  Provider  =  x y  \n", u"oledb", u"Provider", u"x y"},
        {"empty value", u"[oledb]\nProvider=\n", u"oledb", u"Provider", u""},
        {"key missing", u"[oledb]\n; Everything after this line\n", u"oledb", u"Provider", u""},
        {"key in another section", u"[other]\nProvider=x\n[oledb]\nUser=y\n", u"oledb", u"Provider", u""},
        {"key before any section", u"Provider=x\n[oledb]\n", u"oledb", u"Provider", u""},
        {"section missing", u"[other]\nProvider=x\n", u"oledb", u"Provider", u""},
        {"commented-out key", u"[oledb]\n;Provider=x\n", u"oledb", u"Provider", u""},
        {"first of two keys", u"[oledb]\nProvider=1\nProvider=2\n", u"oledb", u"Provider", u"1"},
        {"section met a second time", u"[oledb]\n[x]\nProvider=1\n[oledb]\nProvider=2\n", u"oledb", u"Provider", u"2"},
        {"key is not a prefix", u"[oledb]\nProviders=1\nProvider=2\n", u"oledb", u"Provider", u"2"},
        {"line without equals", u"[oledb]\nProvider\nProvider=2\n", u"oledb", u"Provider", u"2"},
        {"empty text", u"", u"oledb", u"Provider", u""},
    };
    for (const FindCase &c : cases) {
        EXPECT_EQ(suite::FindIniValue(QString::fromUtf16(c.text), QString::fromUtf16(c.section),
                                      QString::fromUtf16(c.key)),
                  QString::fromUtf16(c.expected))
            << c.name;
    }
}

struct DecodeCase
{
    const char *name;
    QByteArray bytes;
    std::optional<QString> expected;
};

TEST(IniReader, OnlyAMarkedUtf8FileWithForeignBytesDecodesWithLoss)
{
    EXPECT_FALSE(suite::DecodesFaithfully(QByteArray("\xEF\xBB\xBF[v\xE5rd]")));
    for (const QByteArray &bytes : {QByteArray("\xEF\xBB\xBF[v\xC3\xA5rd]"), QByteArray("[v\xE5rd]"),
                                    QByteArray("[v\xC3\xA5rd]"), QByteArray("\xFF\xFE[\0", 4), QByteArray()})
        EXPECT_TRUE(suite::DecodesFaithfully(bytes)) << bytes.toHex().constData();
}

TEST(IniReader, DecodesMarkedUtf16Utf8AndAnsiText)
{
    const DecodeCase cases[] = {
        {"UTF-16LE with mark", QByteArray("\xFF\xFE[\0\xE5\0]\0", 8), QStringLiteral("[å]")},
        {"mark alone", QByteArray("\xFF\xFE", 2), QString()},
        {"UTF-8 with mark", QByteArray("\xEF\xBB\xBF[\xC3\xA5]"), QStringLiteral("[å]")},
        {"ANSI", QByteArray("[\xE5\x80]"), QStringLiteral("[å€]")},
        {"UTF-8 without mark", QByteArray("[v\xC3\xA5rd\xE2\x82\xAC]"), QStringLiteral("[vård€]")},
        {"ANSI with a byte that is no UTF-8", QByteArray("[v\xC3\xA5rd \xE5]"), QStringLiteral("[vÃ¥rd å]")},
        {"ANSI that is a cut UTF-8 sequence", QByteArray("[\xE2\x82]"), QStringLiteral("[â‚]")},
        {"empty file", QByteArray(), QString()},
        {"UTF-16LE odd byte count", QByteArray("\xFF\xFE[\0]", 5), std::nullopt},
        {"UTF-16LE without mark", QByteArray("[\0]\0", 4), std::nullopt},
        {"NUL in ANSI text", QByteArray("a\0b", 3), std::nullopt},
    };
    for (const DecodeCase &c : cases)
        EXPECT_EQ(suite::DecodeIniText(c.bytes), c.expected) << c.name;
}

struct SampleCase
{
    const char *file;
    QString expected;
};

TEST(IniReader, ReadsSamplesAndGivesNothingForDamagedOnes)
{
    const SampleCase cases[] = {
        {"utf16_with_mark.udl", ProviderValue},
        {"ansi.udl", ProviderValue},
        {"utf8_with_mark.udl", ProviderValue},
        {"odd_byte_count.udl", QString()},
        {"utf16_without_mark.udl", QString()},
        {"binary_junk.udl", QString()},
        {"binary_junk_without_nul.udl", QString()},
        {"utf16_junk.udl", QString()},
        {"no_such_file.udl", QString()},
    };
    for (const SampleCase &c : cases)
        EXPECT_EQ(suite::ReadIniValue(sample(c.file), "OLEDB", "provider"), c.expected) << c.file;
}

TEST(IniReader, SurvivesEveryCutAndRandomDamageOfTheSamples)
{
    QRandomGenerator random(42);
    const QStringList samples = QDir(sample(QString())).entryList(QDir::Files);
    ASSERT_FALSE(samples.isEmpty());
    for (const QString &name : samples) {
        const QByteArray bytes = testenv::readFile(sample(name));
        for (qsizetype length = 0; length <= bytes.size(); ++length) {
            if (const std::optional<QString> text = suite::DecodeIniText(bytes.left(length)))
                suite::FindIniValue(*text, "oledb", "Provider");
        }
        for (int round = 0; round < 200; ++round) {
            QByteArray damaged = bytes;
            for (int i = 0; i < 4 && !damaged.isEmpty(); ++i)
                damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            if (const std::optional<QString> text = suite::DecodeIniText(damaged)) {
                EXPECT_LE(suite::FindIniValue(*text, "oledb", "Provider").size(), text->size()) << qPrintable(name);
            }
        }
    }
}

TEST(IniReader, CutsTheValueTo255Characters)
{
    const QString dir = testenv::freshDir("cut");
    const QString long300 = QString(300, u'x');
    QString surrogateAtCut = QString(254, u'y');
    surrogateAtCut += QString::fromUtf16(u"\U0001F600") + QStringLiteral("zz");

    struct Case
    {
        const char *name;
        QString value;
        QString expected;
    };
    const Case cases[] = {
        {"300 characters", long300, long300.left(255)},
        {"exactly 255", long300.left(255), long300.left(255)},
        {"pair at the cut is not split", surrogateAtCut, surrogateAtCut.left(254)},
    };
    for (const Case &c : cases) {
        const QString file = dir + "/" + c.name + ".udl";
        testenv::writeFile(file, utf16LeWithMark("[oledb]\r\nProvider=" + c.value + "\r\n"));
        EXPECT_EQ(suite::ReadIniValue(file, "oledb", "Provider"), c.expected) << c.name;
    }
}

TEST(IniReader, AFileOverTheLimitGivesNothing)
{
    const QString dir = testenv::freshDir("huge");
    const QByteArray start = "[oledb]\r\nProvider=x\r\n";
    const auto padded = [&](qint64 size) { return start + QByteArray(size - start.size(), '\n'); };
    testenv::writeFile(dir + "/limit.udl", padded(suite::IniFileMaxBytes));
    testenv::writeFile(dir + "/over.udl", padded(suite::IniFileMaxBytes + 1));
    EXPECT_EQ(suite::ReadIniValue(dir + "/limit.udl", "oledb", "Provider"), QStringLiteral("x"));
    EXPECT_EQ(suite::ReadIniValue(dir + "/over.udl", "oledb", "Provider"), QString());
}

TEST(IniReader, AHugeFileGivesNothingWithoutBeingRead)
{
    const QString path = testenv::freshDir("huge") + "/huge.udl";
    testenv::writeFile(path, "[oledb]\r\nProvider=x\r\n");
    QFile file(path);
    ASSERT_TRUE(file.resize(qint64(4) << 30)); // sparse: no disk space used
    EXPECT_EQ(suite::ReadIniValue(path, "oledb", "Provider"), QString());
}

TEST(IniReader, NamesThatAreNoRegularFileGiveNothing)
{
    const QString dir = testenv::freshDir("special");
    QDir().mkpath(dir + "/folder.udl");
    const QString fifo = dir + "/fifo.udl";
    ASSERT_EQ(QProcess::execute("mkfifo", {fifo}), 0);
    // A FIFO without a writer would block an open for ever.
    EXPECT_EQ(suite::ReadIniValue(fifo, "oledb", "Provider"), QString());
    EXPECT_EQ(suite::ReadIniValue(dir + "/folder.udl", "oledb", "Provider"), QString());
    EXPECT_EQ(suite::ReadIniValue(QString(), "oledb", "Provider"), QString());
    // A link is never followed, not even to a good data link; nor to an endless device.
    testenv::writeFile(dir + "/real.udl", "[oledb]\r\nProvider=x\r\n");
    ASSERT_TRUE(QFile::link(dir + "/real.udl", dir + "/link.udl"));
    ASSERT_TRUE(QFile::link("/dev/zero", dir + "/zero.udl"));
    EXPECT_EQ(suite::ReadIniValue(dir + "/real.udl", "oledb", "Provider"), QStringLiteral("x"));
    EXPECT_EQ(suite::ReadIniValue(dir + "/link.udl", "oledb", "Provider"), QString());
    EXPECT_EQ(suite::ReadIniValue(dir + "/zero.udl", "oledb", "Provider"), QString());
}

} // namespace
