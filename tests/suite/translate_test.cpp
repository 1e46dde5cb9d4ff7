// Translation through the self-filling language file.
#include "suite/translate.h"

#include "platform/testing/recording_presenter.h"
#include "platform/error.h"
#include "test_env.h"
#include "translate_print.h"

#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

using platform::testing::RecordingPresenter;

const QByteArray Heading = "Spr\xe5kfil\r\n";

class Translate : public ::testing::Test
{
protected:
    void SetUp() override { suite::LanguageFileActive = true; }
    void TearDown() override
    {
        suite::LanguageFileActive = false;
        suite::LanguageFileName.clear();
    }

    // Writes a language file and loads it.
    void useFile(const QByteArray &content)
    {
        testenv::writeFile(path, content);
        ASSERT_TRUE(suite::LoadLanguageFile(path));
    }
    QByteArray file() const { return testenv::readFile(path); }

    const QString path = testenv::root() + "/lang/test.lng";
    RecordingPresenter boxes;
};

struct LookupCase
{
    const char *what;
    QByteArray content;
    const char16_t *text;
    const char16_t *result;
    QByteArray appended; // what the lookup adds to the file
};

TEST_F(Translate, LookupRules)
{
    const LookupCase cases[] = {
        {"the first line is never matched", "Avbryt;Cancel\r\n", u"Avbryt", u"Avbryt", "Avbryt;Avbryt\r\n"},
        {"second line", "R\r\nAvbryt;Cancel\r\n", u"Avbryt", u"Cancel", ""},
        {"letter case counts", "R\r\nAvbryt;Cancel\r\n", u"avbryt", u"avbryt", "avbryt;avbryt\r\n"},
        {"the first of two entries wins", "R\r\nAvbryt;First\r\nAvbryt;Second\r\n", u"Avbryt", u"First", ""},
        {"empty translation", "R\r\nAvbryt;\r\n", u"Avbryt", u"", ""},
        {"text holding ';'", "R\r\na;b;c\r\n", u"a;b", u"b;c", ""},
        {"translation holding ';'", "R\r\nSpara;Save; now\r\n", u"Spara", u"Save; now", ""},
        {"entry on a last line without line break", "R\r\nAvbryt;Cancel", u"Avbryt", u"", ""},
        {"a longer source text is no match", "R\r\nSparad;Saved\r\n", u"Spara", u"Spara", "Spara;Spara\r\n"},
        {"ANSI code page", "R\r\n\xc5ngra;Undo \x80\r\n", u"Ångra", u"Undo €", ""},
        {"bytes the code page leaves undefined", "R\r\nX;\x81\x8d\r\n", u"X", u"\u0081\u008d", ""},
        {"a character outside the code page", "R\r\n", u"中", u"中", "?;?\r\n"},
        {"empty text found", "R\r\n;Tom\r\n", u"", u"Tom", ""},
        {"empty text missing", "R\r\n", u"", u"", ";\r\n"},
        {"text holding CR LF found", "R\r\nA\r\nB;C\r\n", u"A\r\nB", u"C", ""},
        {"text holding CR LF appended", "R\r\n", u"A\r\nB", u"A\r\nB", "A\r\nB;A\r\nB\r\n"},
        {"a zero byte hides nothing", QByteArray("R\r\n\0x\r\nAvbryt;Cancel\r\n", 22), u"Avbryt", u"Cancel", ""},
        {"no line breaks at all", "Avbryt;Cancel Spara;Save", u"Avbryt", u"Avbryt", "\r\nAvbryt;Avbryt\r\n"},
        {"LF line ends", "R\nAvbryt;Cancel\n", u"Avbryt", u"Avbryt", "\r\nAvbryt;Avbryt\r\n"},
        {"empty file", "", u"Avbryt", u"Avbryt", "Avbryt;Avbryt\r\n"},
    };
    for (const LookupCase &c : cases) {
        useFile(c.content);
        EXPECT_EQ(suite::TranslateText(QString::fromUtf16(c.text)), QString::fromUtf16(c.result)) << c.what;
        EXPECT_EQ(file(), c.content + c.appended) << c.what;
    }
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(Translate, ATranslatorsFile)
{
    const QString fixture = testenv::sourceDir() + "/tests/data/translate/english.lng";
    useFile(testenv::readFile(fixture));
    const struct
    {
        const char16_t *text;
        const char16_t *result;
    } cases[] = {
        {u"Avbryt", u"Cancel"},
        {u"Ångra", u"Undo"},
        {u"Spara", u"Save; then close"},
        {u"Anslutningen fungerar!", u"The connection works!"},
        {u"Radera", u""},
        {u"Ja", u"Yes"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(suite::TranslateText(QString::fromUtf16(c.text)), QString::fromUtf16(c.result));
    EXPECT_EQ(file(), testenv::readFile(fixture));
}

TEST_F(Translate, NumbersAndSignsAreNeverLookedUp)
{
    const char *passing[] = {"12", "  42", "$FF", "$ff", "x1F", "X1f", "0x1F", "0X1f", "-7", "+7", "-$FF",
                             "007", "2147483647", "-2147483648", "$FFFFFFFF", "  -x10",
                             "(", ")", "-", "/", ":", "=", "?", "[", "]"};
    const char *lookedUp[] = {"-123456789", " -123456789", "-$75BCD15", "2147483648", "-2147483649",
                              "$100000000", "12 ", "\t12", "1a", "$", "x", "0x", "+", "- 1", "1.5", "$G",
                              "!", ".", "a", "()"};
    useFile(Heading);
    for (const char *text : passing) {
        EXPECT_EQ(suite::TranslateText(text), text);
        EXPECT_EQ(file(), Heading) << text << " was looked up";
    }
    QByteArray expected = Heading;
    for (const char *text : lookedUp) {
        EXPECT_EQ(suite::TranslateText(text), text);
        expected += QByteArray(text) + ";" + text + "\r\n";
        EXPECT_EQ(file(), expected) << text << " was not looked up";
    }
}

TEST_F(Translate, InactiveTranslationReturnsEveryTextAndTouchesNothing)
{
    useFile(Heading + "Avbryt;Cancel\r\n");
    suite::LanguageFileActive = false;
    for (const char *text : {"", "a", "-", "!", "12", "Avbryt", "Spara"})
        EXPECT_EQ(suite::TranslateText(text), text);
    QFile::remove(path);
    EXPECT_EQ(suite::TranslateText("Spara"), "Spara");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(Translate, AnAppendedEntryIsFoundFromTheNextLookupOn)
{
    useFile(Heading);
    EXPECT_EQ(suite::TranslateText("Avbryt"), "Avbryt");
    testenv::writeFile(path, file().replace("Avbryt;Avbryt", "Avbryt;Cancel"));
    EXPECT_EQ(suite::TranslateText("Avbryt"), "Avbryt") << "the text loaded after the append is still held";
    suite::LoadLanguageFile(path);
    EXPECT_EQ(suite::TranslateText("Avbryt"), "Cancel");
    EXPECT_EQ(file(), Heading + "Avbryt;Cancel\r\n");
}

TEST_F(Translate, AnActiveFileThatWasNeverLoadedFillsAndLoadsItself)
{
    testenv::writeFile(path, Heading);
    suite::LanguageFileName = path;
    EXPECT_EQ(suite::TranslateText("Spara"), "Spara");
    EXPECT_EQ(suite::TranslateText("Spara"), "Spara");
    EXPECT_EQ(file(), Heading + "Spara;Spara\r\n");
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

struct MissingFileCase
{
    const char *what;
    QString name;
};

TEST_F(Translate, WithoutALanguageFileEveryLookupReportsIt)
{
    const MissingFileCase cases[] = {
        {"no name", QString()},
        {"no such file", testenv::root() + "/lang/missing.lng"},
        {"a folder", testenv::freshDir("lang-folder")},
    };
    for (const MissingFileCase &c : cases) {
        boxes.clear();
        suite::LanguageFileName = c.name;
        EXPECT_EQ(suite::TranslateText("Avbryt"), "Avbryt") << c.what;
        ASSERT_EQ(boxes.boxes().size(), 1) << c.what;
        const platform::MessageBox &box = boxes.boxes().first();
        EXPECT_EQ(box.kind, platform::BoxKind::Error);
        EXPECT_EQ(box.title, "Error");
        EXPECT_EQ(box.text, "The language file could not be found!");
        EXPECT_EQ(box.buttons, QStringList{"OK"});
        EXPECT_FALSE(QFile::exists(testenv::root() + "/lang/missing.lng"));
    }
}

TEST_F(Translate, LoadingAMissingFileDropsTheTextButKeepsTheName)
{
    useFile(Heading + "Avbryt;Cancel\r\n");
    EXPECT_FALSE(suite::LoadLanguageFile(testenv::root() + "/lang/missing.lng"));
    EXPECT_EQ(suite::LanguageFileName, path);
    EXPECT_EQ(suite::TranslateText("Avbryt"), "Avbryt") << "no text is held";
    EXPECT_EQ(file(), Heading + "Avbryt;Cancel\r\nAvbryt;Avbryt\r\n");
    EXPECT_EQ(suite::TranslateText("Avbryt"), "Cancel") << "reloaded after the append";
}

// A file far larger than any language file: sparse, so it costs no disk space.
void makeHuge(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(qint64(65) * 1024 * 1024));
}

TEST_F(Translate, AFileTooLargeToBeALanguageFileIsAnErrorWithItsName)
{
    testenv::writeFile(path, "");
    makeHuge(path);
    try {
        suite::LoadLanguageFile(path);
        FAIL() << "loaded";
    } catch (const platform::Error &e) {
        EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
    }
    EXPECT_EQ(suite::LanguageFileName, path) << "set before reading";
}

TEST_F(Translate, AFailedReloadAfterTheAppendEndsSilently)
{
    testenv::writeFile(path, "");
    makeHuge(path);
    suite::LanguageFileName = path;
    EXPECT_EQ(suite::TranslateText("Avbryt"), "Avbryt");
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(Translate, AFileThatCannotGrowEndsTheAppendSilently)
{
    useFile(Heading);
    // Writing past this size fails as a full disk does, whoever runs the test; the limit
    // is lifted before the next test, whose output would otherwise be cut short.
    struct FileSizeLimit
    {
        rlimit before{};
        void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
        FileSizeLimit() { getrlimit(RLIMIT_FSIZE, &before); }
        ~FileSizeLimit()
        {
            setrlimit(RLIMIT_FSIZE, &before);
            std::signal(SIGXFSZ, handler);
        }
    } lifted;
    const rlimit limit{rlim_t(Heading.size()), lifted.before.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    EXPECT_EQ(suite::TranslateText("Avbryt"), "Avbryt");
    EXPECT_EQ(suite::TranslateText("Avbryt"), "Avbryt");
    EXPECT_EQ(file(), Heading);
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST_F(Translate, LongLinesAndLongTexts)
{
    const QByteArray translation(1024 * 1024, 'x');
    useFile(Heading + "L\xe5ng;" + translation + "\r\n");
    EXPECT_EQ(suite::TranslateText("Lång"), QString::fromLatin1(translation));

    const QString text(100 * 1000, QChar(u'ö'));
    EXPECT_EQ(suite::TranslateText(text), text);
    EXPECT_EQ(suite::TranslateText(text), text);
    EXPECT_EQ(file().size(), Heading.size() + 5 + translation.size() + 2 + 2 * text.size() + 3);
}

TEST_F(Translate, ADamagedFileNeverStopsTranslation)
{
    useFile(testenv::readFile(testenv::sourceDir() + "/tests/data/translate/damaged.lng"));
    EXPECT_EQ(suite::TranslateText("Stäng"), "Close");
    EXPECT_EQ(suite::TranslateText("OK"), "Okay");
    EXPECT_EQ(suite::TranslateText("Sista"), "Sista");
    EXPECT_EQ(suite::TranslateText("Sista"), "Sista") << "found on its own line now";
    EXPECT_TRUE(file().endsWith("Sista;utan radbrytning\r\nSista;Sista\r\n"));
    for (int c = 1; c < 256; ++c) // every one-character text, through every byte of the file
        suite::TranslateText(QString(QChar(c)));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

} // namespace
