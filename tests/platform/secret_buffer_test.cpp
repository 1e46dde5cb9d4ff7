// Wiped buffers for secrets: moving hands the bytes over and leaves nothing behind, a
// string's characters are wiped also in the copies that share them, and a secret file is
// read only when it is a regular file within the bound.
#include "platform/secret_buffer.h"
#include "platform/secret_file.h"

#include "file_checks.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <QFile>

#include <utility>

namespace {

using platform::SecretBuffer;

TEST(SecretBuffer, MovingHandsTheBytesOverAndEmptiesTheSource)
{
    SecretBuffer first("hemligt", 7);
    const char *bytes = first.data();
    SecretBuffer second(std::move(first));
    EXPECT_EQ(second.view(), "hemligt");
    EXPECT_EQ(second.data(), bytes); // the same block: nothing was copied
    EXPECT_TRUE(first.isEmpty());
    EXPECT_EQ(first.data(), nullptr);

    SecretBuffer third("annat", 5);
    third = std::move(second);
    EXPECT_EQ(third.view(), "hemligt");
    EXPECT_TRUE(second.isEmpty());
}

TEST(SecretBuffer, GrowsExtendsAndShrinksKeepingItsBytes)
{
    SecretBuffer buffer;
    for (int i = 0; i < 100; ++i)
        buffer.append(char('a' + i % 26));
    EXPECT_EQ(buffer.size(), 100u);
    EXPECT_EQ(buffer.view().substr(0, 3), "abc");
    char *room = buffer.extend(4);
    EXPECT_EQ(std::string_view(room, 4), std::string_view("\0\0\0\0", 4));
    buffer.shrink(4);
    EXPECT_EQ(buffer.size(), 100u);
    buffer.clear();
    EXPECT_TRUE(buffer.isEmpty());
}

TEST(SecretBuffer, WipingAStringWipesTheCopiesThatShareIt)
{
    QString text = QString::fromUtf8("Lösen");
    const QString shared = text;
    platform::wipeString(text);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(shared, QString(5, QChar(0)));

    // Text of the program itself is read-only and no secret: left alone.
    QString literal = QStringLiteral("fast");
    platform::wipeString(literal);
    EXPECT_TRUE(literal.isEmpty());
}

TEST(SecretFile, ReadsARegularFileWithinTheBound)
{
    const QString dir = testenv::freshDir(QStringLiteral("secret"));
    testenv::writeFile(dir + "/bok.ini", "Password=x\n");
    const std::optional<SecretBuffer> read = platform::readSecretFile(dir + "/bok.ini", 64);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->view(), "Password=x\n");
    EXPECT_FALSE(platform::readSecretFile(dir + "/saknas.ini", 64));
}

TEST(SecretFile, RefusesLinksOtherFilesAndWhatIsTooLarge)
{
    const QString dir = testenv::freshDir(QStringLiteral("secret"));
    testenv::writeFile(dir + "/bok.ini", "Password=x\n");
    ASSERT_TRUE(QFile::link(dir + "/bok.ini", dir + "/länk.ini"));
    EXPECT_TRUE(testenv::errorOf([&] { platform::readSecretFile(dir + "/länk.ini", 64); }).contains("symbolic link"));
    EXPECT_TRUE(testenv::errorOf([&] { platform::readSecretFile(dir, 64); }).contains("not a regular file"));
    EXPECT_TRUE(testenv::errorOf([&] { platform::readSecretFile(dir + "/bok.ini", 4); }).contains("larger than 4 bytes"));
}

} // namespace
