#include "platform/connection_string.h"
#include "platform/error.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using platform::ConnectionString;
using Pairs = std::vector<std::pair<QString, QString>>;

Pairs pairsOf(const ConnectionString &cs)
{
    Pairs pairs;
    for (const auto &p : cs.properties())
        pairs.emplace_back(p.name, p.value);
    return pairs;
}

struct ParseCase
{
    const char16_t *text;
    Pairs expected;
};

TEST(ConnectionString, ParsesPairs)
{
    const ParseCase cases[] = {
        {u"", {}},
        {u"Provider=SQLite", {{u"Provider"_qs, u"SQLite"_qs}}},
        {u"Provider=SQLite;Data Source=/srv/x.db",
         {{u"Provider"_qs, u"SQLite"_qs}, {u"Data Source"_qs, u"/srv/x.db"_qs}}},
        {u"  Provider = SQLite ;  Data Source =  /srv/a b.db  ",
         {{u"Provider"_qs, u"SQLite"_qs}, {u"Data Source"_qs, u"/srv/a b.db"_qs}}},
        {u";;Provider=SQLite;; ;", {{u"Provider"_qs, u"SQLite"_qs}}},
        {u"Password=\"a;b\";User ID=x", {{u"Password"_qs, u"a;b"_qs}, {u"User ID"_qs, u"x"_qs}}},
        {u"Password='a;b';User ID=x", {{u"Password"_qs, u"a;b"_qs}, {u"User ID"_qs, u"x"_qs}}},
        {u"Password=\"say \"\"hi\"\"\"", {{u"Password"_qs, u"say \"hi\""_qs}}},
        {u"Password='it''s'", {{u"Password"_qs, u"it's"_qs}}},
        {u"Password=\"it's\"", {{u"Password"_qs, u"it's"_qs}}},
        {u"Password='say \"hi\"'", {{u"Password"_qs, u"say \"hi\""_qs}}},
        {u"Password=\"  padded  \" ; x=1", {{u"Password"_qs, u"  padded  "_qs}, {u"x"_qs, u"1"_qs}}},
        {u"Password=\"\"", {{u"Password"_qs, u""_qs}}},
        {u"Data Source=", {{u"Data Source"_qs, u""_qs}}},
        {u"Extended Properties=\"DSN=x;UID=y\"", {{u"Extended Properties"_qs, u"DSN=x;UID=y"_qs}}},
        {u"Password=a=b", {{u"Password"_qs, u"a=b"_qs}}},
        {u"Password=ab\"c", {{u"Password"_qs, u"ab\"c"_qs}}}, // a quote inside a bare value is plain text
        {u"Key==Name=v", {{u"Key=Name"_qs, u"v"_qs}}},
        {u"Initial Catalog=Växjö", {{u"Initial Catalog"_qs, u"Växjö"_qs}}},
    };
    for (const ParseCase &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(pairsOf(ConnectionString::parse(text)), c.expected) << text.toStdString();
    }
}

TEST(ConnectionString, RefusesMalformedText)
{
    const char16_t *cases[] = {
        u"Password=\"abc",
        u"Password='abc;User ID=x",
        u"Password=\"a\"\"",
        u"Provider",
        u"Provider=SQLite;junk",
        u"=value",
        u"Password=\"a\"b",
    };
    for (const char16_t *c : cases) {
        const QString text = QString::fromUtf16(c);
        EXPECT_THROW(ConnectionString::parse(text), platform::Error) << text.toStdString();
    }
}

TEST(ConnectionString, ErrorsNeverQuoteTheText)
{
    const char16_t *cases[] = {u"Password=\"secret;x", u"Password=sec;ret;User ID=x", u"Password=\"sec\"ret"};
    for (const char16_t *c : cases) {
        try {
            ConnectionString::parse(QString::fromUtf16(c));
            ADD_FAILURE() << "parsed";
        } catch (const platform::Error &e) {
            EXPECT_FALSE(e.message().contains(u"sec"_qs)) << e.message().toStdString();
            EXPECT_FALSE(e.message().contains(u"ret"_qs)) << e.message().toStdString();
        }
    }
}

TEST(ConnectionString, NamesIgnoreLetterCase)
{
    ConnectionString cs = ConnectionString::parse(u"Provider=SQLite;Data Source=/a.db"_qs);
    EXPECT_TRUE(cs.contains(u"data source"_qs));
    EXPECT_EQ(cs.value(u"DATA SOURCE"_qs), u"/a.db"_qs);
    EXPECT_EQ(cs.value(u"Password"_qs), QString());
    EXPECT_FALSE(cs.contains(u"Password"_qs));

    cs.setValue(u"data SOURCE"_qs, u"/b.db"_qs);
    EXPECT_EQ(cs.toString(), u"Provider=SQLite;Data Source=/b.db"_qs); // the name keeps its spelling
    cs.remove(u"PROVIDER"_qs);
    EXPECT_EQ(cs.toString(), u"Data Source=/b.db"_qs);
}

TEST(ConnectionString, FirstOfRepeatedNamesCountsAndSetValueDropsTheRest)
{
    ConnectionString cs = ConnectionString::parse(u"A=1;B=2;a=3"_qs);
    EXPECT_EQ(cs.value(u"a"_qs), u"1"_qs);
    cs.setValue(u"A"_qs, u"9"_qs);
    EXPECT_EQ(cs.toString(), u"A=9;B=2"_qs);
    cs = ConnectionString::parse(u"A=1;B=2;a=3"_qs);
    cs.remove(u"a"_qs);
    EXPECT_EQ(cs.toString(), u"B=2"_qs);
}

TEST(ConnectionString, SetValueKeepsPositionAndAppendsNewNames)
{
    ConnectionString cs = ConnectionString::parse(u"Provider=MSDASQL;DSN=praktik;Unknown Thing=keep"_qs);
    cs.setValue(u"DSN"_qs, u"annan"_qs);
    cs.setValue(u"User ID"_qs, u"vardo"_qs);
    EXPECT_EQ(cs.toString(), u"Provider=MSDASQL;DSN=annan;Unknown Thing=keep;User ID=vardo"_qs);
}

struct WriteCase
{
    const char16_t *value;
    const char16_t *written;
};

TEST(ConnectionString, QuotesValuesThatNeedIt)
{
    const WriteCase cases[] = {
        {u"plain", u"P=plain"},
        {u"with blank", u"P=with blank"},
        {u"", u"P="},
        {u"a;b", u"P=\"a;b\""},
        {u" lead", u"P=\" lead\""},
        {u"trail ", u"P=\"trail \""},
        {u"\"q\"", u"P='\"q\"'"},
        {u"'q'", u"P=\"'q'\""},
        {u"'a\";", u"P=\"'a\"\";\""},
        {u"a=b", u"P=a=b"},
        {u"=b", u"P=\"=b\""},
    };
    for (const WriteCase &c : cases) {
        ConnectionString cs;
        cs.setValue(u"P"_qs, QString::fromUtf16(c.value));
        EXPECT_EQ(cs.toString(), QString::fromUtf16(c.written)) << QString::fromUtf16(c.value).toStdString();
    }
}

TEST(ConnectionString, RoundTripsThroughText)
{
    const char16_t *values[] = {u"plain", u"a;b", u" x ", u"\"", u"'", u"'\";;\"'", u"", u"Växjö", u"a=b", u"\"a", u"=", u"==x"};
    for (const char16_t *v : values) {
        ConnectionString cs;
        cs.setValue(u"Provider"_qs, u"SQLite"_qs);
        cs.setValue(u"Odd==Name"_qs, QString::fromUtf16(v));
        cs.setValue(u"Password"_qs, QString::fromUtf16(v));
        const ConnectionString again = ConnectionString::parse(cs.toString());
        EXPECT_EQ(pairsOf(again), pairsOf(cs)) << cs.toString().toStdString();
    }
}

} // namespace
