#include "net/url_encoding.h"

#include <gtest/gtest.h>

namespace {

struct EncodingCase
{
    const char *name;
    QString url;
    QByteArray wire;
};

void PrintTo(const EncodingCase &c, std::ostream *os)
{
    *os << c.name;
}

class UrlEncodingTest : public ::testing::TestWithParam<EncodingCase>
{
};

TEST_P(UrlEncodingTest, EncodesForTheRequestLineAndDecodesBack)
{
    const EncodingCase &c = GetParam();
    EXPECT_EQ(net::encodeRequestUrl(c.url), c.wire);
    EXPECT_EQ(net::decodeRequestTarget(c.wire), c.url);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UrlEncodingTest,
    ::testing::Values(
        EncodingCase{"ServiceParametersStayRaw",
                     QStringLiteral("http://ADMINPC:5010/=Get_Version,prislistetyp=1,dbconnection=.,connectionstring="),
                     "http://ADMINPC:5010/=Get_Version,prislistetyp=1,dbconnection=.,connectionstring="},
        EncodingCase{"ConnectionStringBlankGoesEncoded",
                     QStringLiteral("/=x,connectionstring=Provider=SQLOLEDB.1;Data Source=DB01"),
                     "/=x,connectionstring=Provider=SQLOLEDB.1;Data%20Source=DB01"},
        EncodingCase{"HashQuestionPercent", QStringLiteral("/a#b?c%d"), "/a%23b%3Fc%25d"},
        EncodingCase{"ControlCharacters", QStringLiteral("/a\tb\r\nc\x7f"), "/a%09b%0D%0Ac%7F"},
        EncodingCase{"NonAsciiAsUtf8", QStringLiteral("/Sökväg Å€"), "/S%C3%B6kv%C3%A4g%20%C3%85%E2%82%AC"},
        EncodingCase{"BackslashQuotesAndBrackets", QStringLiteral("/C:\\Data \"x\" <y> [z] {w} |^`"),
                     "/C:%5CData%20%22x%22%20%3Cy%3E%20%5Bz%5D%20%7Bw%7D%20%7C%5E%60"},
        EncodingCase{"SubDelimitersStayRaw", QStringLiteral("/!$&'()*+,;=:@-._~"), "/!$&'()*+,;=:@-._~"},
        EncodingCase{"SlashBeforeDotSegments", QStringLiteral("/=x,c=/srv/./v/../d/.../e/.f/..g/."),
                     "/=x,c=/srv%2F./v%2F../d/.../e/.f/..g%2F."},
        EncodingCase{"Empty", QString(), QByteArray()}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(UrlDecodingTest, LeavesAPercentWithoutTwoHexDigitsAsItIs)
{
    EXPECT_EQ(net::decodeRequestTarget("/a%2"), QStringLiteral("/a%2"));
    EXPECT_EQ(net::decodeRequestTarget("/a%zz%41"), QStringLiteral("/a%zzA"));
    EXPECT_EQ(net::decodeRequestTarget("%"), QStringLiteral("%"));
}

TEST(UrlDecodingTest, AcceptsLowerCaseHexDigits)
{
    EXPECT_EQ(net::decodeRequestTarget("/%c3%a5"), QStringLiteral("/å"));
}

} // namespace
