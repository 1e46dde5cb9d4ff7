#include "platform/codepage.h"
#include "platform/error.h"
#include "program_run.h"

#include <gtest/gtest.h>

namespace {

struct Case
{
    const char *bytes;
    const char16_t *text;
};

TEST(CodePage, Windows1252RoundTrips)
{
    const Case cases[] = {
        {"abc", u"abc"},
        {"\xe5\xe4\xf6\xc5\xc4\xd6", u"åäöÅÄÖ"},
        {"\x80", u"€"},
        {"\x96\x85", u"–…"},
        {"\x81", u"\u0081"}, // undefined in 1252: the control character of the same number
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(platform::fromAnsi(QByteArray(c.bytes)), text) << c.bytes;
        EXPECT_EQ(platform::toAnsi(text), QByteArray(c.bytes)) << c.bytes;
    }
}

TEST(CodePage, CharactersOutsideThePageBecomeQuestionMarks)
{
    EXPECT_EQ(platform::toAnsi(QString::fromUtf16(u"a\u4e2db")), QByteArray("a?b"));
    EXPECT_EQ(platform::toAnsi(QString::fromUtf16(u"x\U0001F600y")), QByteArray("x?y"));
}

TEST(CodePage, EveryByteDecodesToOneCharacter)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = platform::fromAnsi(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(platform::toAnsi(text), all);
}

} // namespace

namespace {

// The code page is read once a process: the cases that choose another run in their own.
TEST(CodePageChosen, DISABLED_MultiByte)
{
    try {
        platform::checkAnsiCodePage();
        FAIL() << "UTF-8 was accepted";
    } catch (const platform::Error &e) {
        EXPECT_TRUE(e.message().contains("\"UTF-8\", which is not a single-byte code page")) << e.what();
    }
    EXPECT_EQ(platform::fromAnsi(QByteArray("\xe5")), QString::fromUtf16(u"å"));
    EXPECT_EQ(platform::ansiCodePageName(), "CP1252");
}

TEST(CodePageChosen, DISABLED_Iso885915)
{
    EXPECT_NO_THROW(platform::checkAnsiCodePage());
    EXPECT_EQ(platform::fromAnsi(QByteArray("\xa4")), QString::fromUtf16(u"€"));
}

QProcessEnvironment codePageNamed(const QString &name)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("TELLVARA_ANSI_CODEPAGE"), name);
    return environment;
}

TEST(CodePage, AMultiByteCodePageIsRefusedAndWindows1252Used)
{
    EXPECT_TRUE(testenv::passesInOwnProcess("CodePageChosen.DISABLED_MultiByte", codePageNamed("UTF-8")));
}

TEST(CodePage, AnotherSingleByteCodePageIsUsed)
{
    EXPECT_TRUE(testenv::passesInOwnProcess("CodePageChosen.DISABLED_Iso885915", codePageNamed("ISO-8859-15")));
}

} // namespace
