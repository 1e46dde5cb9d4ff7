#include "platform/password_mask.h"

#include "qstring_printer.h"

#include <utility>

#include <gtest/gtest.h>

namespace {

struct MaskCase
{
    const char *name;
    const char16_t *text;
    const char16_t *masked;
    bool holdsPassword;
};

TEST(PasswordMask, HidesEveryFormOfPassword)
{
    const MaskCase cases[] = {
        {"plain", u"Provider=SQLOLEDB;Password=hemligt;User ID=sa", u"Provider=SQLOLEDB;Password=********;User ID=sa",
         true},
        {"letter case and blanks", u"Provider=x; password = hem ligt ;UID=u",
         u"Provider=x; password = ********;UID=u", true},
        {"PWD", u"Provider=MSDASQL;PWD=c;UID=u", u"Provider=MSDASQL;PWD=********;UID=u", true},
        {"double quotes with ;", u"Provider=x;Password=\"a;\"\"b\";User ID=u", u"Provider=x;Password=********;User ID=u",
         true},
        {"single quotes", u"Provider=x;Password='a;b';Data Source=d", u"Provider=x;Password=********;Data Source=d", true},
        {"braces with }} escapes", u"Provider=x;PWD={se;cr}}et1};UID=u", u"Provider=x;PWD=********;UID=u", true},
        {"name ending in Password", u"Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=x",
         u"Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=********", true},
        {"inside Extended Properties", u"Provider=MSDASQL;Extended Properties=\"DSN=x;PWD={se;cr}}et1};UID=u\"",
         u"Provider=MSDASQL;Extended Properties=\"DSN=x;PWD=********;UID=u\"", true},
        {"Extended Properties with doubled quotes",
         u"Provider=MSDASQL;Extended Properties=\"DRIVER={d};Password=\"\"a;b\"\"\";User ID=u",
         u"Provider=MSDASQL;Extended Properties=\"DRIVER={d};Password=********\";User ID=u", true},
        {"cut inside a quoted password", u"Provider=x;Password=\"se;cr", u"Provider=x;Password=********", true},
        {"cut inside braces", u"Provider=x;PWD={se;cr}}e", u"Provider=x;PWD=********", true},
        {"cut inside Extended Properties", u"Provider=MSDASQL;Extended Properties=\"DSN=x;PWD={s;t",
         u"Provider=MSDASQL;Extended Properties=\"DSN=x;PWD=********", true},
        {"unquoted ; in a password", u"Provider=x;Password=ab;cd;User ID=u",
         u"Provider=x;Password=********;********;User ID=u", true},
        {"empty password", u"Provider=x;Password=;User ID=u", u"Provider=x;Password=;User ID=u", false},
        {"no password", u"Provider=SQLite;Data Source=/srv/läkare.db", u"Provider=SQLite;Data Source=/srv/läkare.db",
         false},
        {"a key that only holds the word", u"Provider=x;Password Policy=on", u"Provider=x;Password Policy=on", false},
        {"quoted value that is no string", u"Provider=x;Data Source=\"a;b\"", u"Provider=x;Data Source=\"a;b\"", false},
        {"empty", u"", u"", false},
    };
    for (const MaskCase &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(platform::maskPasswords(text), QString::fromUtf16(c.masked)) << c.name;
        EXPECT_EQ(platform::holdsPassword(text), c.holdsPassword) << c.name;
    }
}

TEST(PasswordMask, HidesPasswordsInAMessage)
{
    const std::pair<const char *, const char *> cases[] = {
        {"[unixODBC] DSN=x;PWD={se;cr}}et1};UID=u refused", "[unixODBC] DSN=x;PWD=********;UID=u refused"},
        {"login failed: Password='a b' (18456)", "login failed: Password=******** (18456)"},
        {"Jet OLEDB:Database Password = x y", "Jet OLEDB:Database Password = ******** y"},
        {"pwd={cut", "pwd=********"},
        {"no password here; a=b", "no password here; a=b"},
        {"Password is wrong", "Password is wrong"},
    };
    for (const auto &[text, masked] : cases)
        EXPECT_EQ(platform::maskPasswordsInMessage(QString::fromUtf8(text)), QString::fromUtf8(masked)) << text;
}

TEST(PasswordMask, NoPrefixOfAStringLeaksItsPassword)
{
    const QString secret = QStringLiteral("se;cr}}et1");
    const QString full = QStringLiteral("Provider=MSDASQL;Extended Properties=\"DSN=x;PWD={") + secret
        + QStringLiteral("};UID=u\";Password='") + secret + QStringLiteral("'");
    // A value cut at any point (the reader keeps 255 characters) still shows no part of it.
    for (qsizetype length = 0; length <= full.size(); ++length) {
        const QString masked = platform::maskPasswords(full.left(length));
        EXPECT_FALSE(masked.contains(QStringLiteral("cr"))) << qPrintable(full.left(length)) << " -> "
                                                            << qPrintable(masked);
        EXPECT_FALSE(masked.contains(QStringLiteral("et1"))) << qPrintable(full.left(length));
    }
}

} // namespace
