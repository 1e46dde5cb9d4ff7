#include "net/hooks.h"
#include "net/ssl_check.h"
#include "suite/paths.h"
#include "suite/registry.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

constexpr int Yes = 6;
constexpr int No = 7;
constexpr int Closed = 2;

class SslCheckTest : public ::testing::Test
{
protected:
    SslCheckTest()
        : systemDir(testenv::freshDir("lib") + "/")
        , currentDir(testenv::freshDir("current") + "/")
    {
        net::ConfirmHook = [this](const QString &question) {
            questions.append(question);
            const int answer = answers.empty() ? No : answers.front();
            if (!answers.empty())
                answers.pop_front();
            return answer;
        };
    }

    ~SslCheckTest() override
    {
        net::ConfirmHook = nullptr;
        net::TranslateHook = nullptr;
    }

    void check() { net::CheckSslLibraries(systemDir, currentDir); }
    static QString stored() { return suite::ReadSuiteSetting("Errors", "CannotConnectToSSL"); }

    QString systemDir;
    QString currentDir;
    QStringList questions;
    std::deque<int> answers;
};

TEST_F(SslCheckTest, AsksOnceAndNeverAgainAfterNo)
{
    answers = {No};
    check();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith("Det gick inte att hitta filen libssl.so.3 i katalogen "));
    EXPECT_EQ(stored(), QStringLiteral("1"));
    check();   // the next start
    EXPECT_EQ(questions.size(), 1);
}

TEST_F(SslCheckTest, ClosingTheQuestionCountsAsNo)
{
    answers = {Closed};
    check();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(stored(), QStringLiteral("1"));
}

TEST_F(SslCheckTest, AsksForEachMissingFileAgainAtEveryStartAfterYes)
{
    answers = {Yes, Yes, Yes, Yes};
    check();
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[0].contains("filen libssl.so.3 i"));
    EXPECT_TRUE(questions[1].contains("filen libcrypto.so.3 i"));
    EXPECT_EQ(stored(), QStringLiteral("ERROR"));
    check();   // the next start
    EXPECT_EQ(questions.size(), 4);
    EXPECT_EQ(questions[2], questions[0]);
    EXPECT_EQ(questions[3], questions[1]);
}

TEST_F(SslCheckTest, NamesOnlyTheMissingLibraryWithBothFolders)
{
    testenv::writeFile(currentDir + "libssl.so.3", "elf");
    answers = {Yes};
    check();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0],
              "Det gick inte att hitta filen libcrypto.so.3 i katalogen " + systemDir + "!\r\r"
              "Det gick inte heller att hitta filen libcrypto.so.3 i katalogen " + currentDir + "!\r\r"
              "Detta betyder att programmet på denna dator inte kommer att kunna ansluta till Internet, "
              "för att ladda ner den senaste versionen av programmet!\r\r"
              "Visa detta meddelande igen?");
}

TEST_F(SslCheckTest, TranslatesEachFixedPhraseOnItsOwn)
{
    net::TranslateHook = [](const QString &text) { return "<" + text + ">"; };
    testenv::writeFile(systemDir + "libcrypto.so.3", "elf");
    check();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0],
              "<Det gick inte att hitta filen libssl.so.3 i katalogen >" + systemDir + "!\r\r"
              "<Det gick inte heller att hitta filen libssl.so.3 i katalogen >" + currentDir + "!\r\r"
              "<Detta betyder att programmet på denna dator inte kommer att kunna ansluta till Internet, "
              "för att ladda ner den senaste versionen av programmet!>\r\r"
              "<Visa detta meddelande igen?>");
}

TEST_F(SslCheckTest, StaysQuietWhenBothLibrariesAreFound)
{
    testenv::writeFile(systemDir + "libssl.so.3", "elf");
    testenv::writeFile(currentDir + "libcrypto.so.3", "elf");
    check();
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_EQ(stored(), QStringLiteral("ERROR"));
}

TEST_F(SslCheckTest, StaysQuietWhenTheQuestionWasTurnedOff)
{
    suite::WriteSuiteSetting("Errors", "CannotConnectToSSL", "1");
    check();
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(SslCheckTest, FindsTheSystemsOwnLibraries)
{
    // The system's library folder holds both wherever the program is installed.
    suite::InitPaths({QStringLiteral("vardo-admin")});
    net::CheckSslLibraries(suite::System32Path(), currentDir);
    EXPECT_TRUE(questions.isEmpty());
}

} // namespace
