// vardoctl cert list, run as a program: the editor's lines one a line, the date in the
// short format of the process's LC_TIME and time zone, and the system trust bundle
// checked certificate by certificate against the openssl command.
#include "../platform/test_certificates.h"
#include "program_run.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace certtest;

namespace {

using testenv::ProgramRun;

// Runs a program with this process's environment minus every locale and time-zone
// variable, plus the given ones (UTC unless a test names another zone).
ProgramRun runProgram(const QString &program, const QStringList &args, const QMap<QString, QString> &env = {})
{
    testenv::RunOptions options;
    for (const QString &name : options.environment.keys()) {
        if (name.startsWith(QLatin1String("LC_")) || name == QLatin1String("LANG") || name == QLatin1String("LANGUAGE"))
            options.environment.remove(name);
    }
    options.environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    for (auto it = env.cbegin(); it != env.cend(); ++it)
        options.environment.insert(it.key(), it.value());
    return testenv::runProgram(program, args, options);
}

ProgramRun certList(const QMap<QString, QString> &env = {}, const QStringList &args = {"cert", "list"})
{
    QMap<QString, QString> withBundleOff{{"TELLVARA_TRUST_BUNDLE", ""}};
    withBundleOff.insert(env);
    return runProgram(testenv::binDir() + "/vardoctl", args, withBundleOff);
}

CertificateRecipe expiring(char serial, const QString &notAfter)
{
    CertificateRecipe recipe = named(serial, "X");
    recipe.notAfter = notAfter;
    return recipe;
}

// The certificates of a PEM bundle, one PEM text each.
QList<QByteArray> splitBundle(const QByteArray &bundle)
{
    QList<QByteArray> certificates;
    const QByteArray begin = "-----BEGIN CERTIFICATE-----";
    const QByteArray end = "-----END CERTIFICATE-----";
    for (qsizetype from = bundle.indexOf(begin); from >= 0; from = bundle.indexOf(begin, from + 1)) {
        const qsizetype to = bundle.indexOf(end, from);
        if (to < 0)
            break;
        certificates << bundle.mid(from, to + end.size() - from) + '\n';
    }
    return certificates;
}

// openssl prints the serial's magnitude; the catalogue shows the DER content octets,
// which carry a 00 sign octet in front of a top bit that is set.
QString derSerialOfOpensslSerial(const QString &hex)
{
    return hex.at(0) >= u'8' ? QStringLiteral("00") + hex : hex;
}

// "Mar  7 12:00:00 2031 GMT" -> 2031-03-07 (the test runs in UTC).
QString isoDateOfOpensslTime(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\w{3}) +(\\d+) \\d\\d:\\d\\d:\\d\\d (\\d+) GMT$"));
    static const QStringList months{"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return QStringLiteral("unparsed: ") + text;
    const QDate date(match.captured(3).toInt(), int(months.indexOf(match.captured(1))) + 1, match.captured(2).toInt());
    return date.toString(Qt::ISODate);
}

// "ROOT SERIAL - DATE, " as openssl sees one certificate.
QString opensslLineStart(const QString &openssl, const QString &pemFile)
{
    const ProgramRun run = runProgram(openssl, {"x509", "-noout", "-serial", "-enddate", "-in", pemFile});
    const QString serial = run.out.section(QStringLiteral("serial="), 1).section(u'\n', 0, 0).trimmed();
    const QString notAfter = run.out.section(QStringLiteral("notAfter="), 1).section(u'\n', 0, 0).trimmed();
    if (run.exitCode != 0 || serial.isEmpty())
        return QStringLiteral("openssl failed: ") + run.err;
    return QStringLiteral("ROOT ") + derSerialOfOpensslSerial(serial) + QStringLiteral(" - ")
        + isoDateOfOpensslTime(notAfter) + QStringLiteral(", ");
}

} // namespace

TEST(CertCommand, PrintsTheLinesOneALine)
{
    CertificateRecipe mine;
    mine.serial = QByteArray("\x00\x81", 2);
    mine.subject = {{"O", "Tellvara-kund AB"}, {"CN", "Kalle Åberg"}};
    putFile("MY", "mine.pem", pem(mine));
    CertificateRecipe anonymous;
    anonymous.subject = {};
    putFile("CA", "ca.der", der(anonymous));
    const ProgramRun run = certList({{"LC_ALL", "sv_SE.UTF-8"}});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.out, "MY 0081 - 2031-03-07, Kalle Åberg\nCA 05 - 2031-03-07, \n");
    EXPECT_EQ(run.err, "");
}

TEST(CertCommand, NoStoresPrintNothing)
{
    const ProgramRun run = certList();
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

TEST(CertCommand, WrongArgumentsAreAUsageError)
{
    for (const QStringList &args : {QStringList{"cert"}, QStringList{"cert", "list", "MY"}, QStringList{"cert", "show"}}) {
        const ProgramRun run = certList({}, args);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(run.err.contains("vardoctl cert list")) << qPrintable(run.err);
        EXPECT_EQ(run.out, "");
    }
}

TEST(CertCommand, TheDateFollowsLcTime)
{
    putFile("MY", "a.pem", pem(expiring(1, "20310307120000Z")));
    const QList<QPair<QMap<QString, QString>, QString>> rows{
        {{{"LANG", "sv_SE.UTF-8"}}, "2031-03-07"},
        {{{"LANG", "en_US.UTF-8"}}, "3/7/31"},
        {{{"LANG", "en_US.UTF-8"}, {"LC_TIME", "sv_SE.UTF-8"}}, "2031-03-07"},
        {{{"LANG", "sv_SE.UTF-8"}, {"LC_TIME", "en_US.UTF-8"}}, "3/7/31"},
        {{{"LC_ALL", "sv_SE.UTF-8"}, {"LC_TIME", "en_US.UTF-8"}}, "2031-03-07"},
        {{{"LC_ALL", "en_US.UTF-8"}, {"LANG", "sv_SE.UTF-8"}}, "3/7/31"},
    };
    for (const auto &[env, date] : rows) {
        const ProgramRun run = certList(env);
        EXPECT_EQ(run.out, "MY 01 - " + date + ", X\n") << qPrintable(QStringList(env.keys()).join(' '));
    }
}

TEST(CertCommand, TheDateIsTheLocalDateOfTheExpiry)
{
    putFile("MY", "a.pem", pem(expiring(1, "20300630200000Z")) + pem(expiring(2, "20300701050000Z")));
    const QList<QPair<QString, QString>> rows{
        {"UTC", "MY 01 - 2030-06-30, X\nMY 02 - 2030-07-01, X\n"},
        {"XST-14", "MY 01 - 2030-07-01, X\nMY 02 - 2030-07-01, X\n"}, // 14 hours east of UTC
        {"XST+10", "MY 01 - 2030-06-30, X\nMY 02 - 2030-06-30, X\n"}, // 10 hours west
    };
    for (const auto &[zone, expected] : rows)
        EXPECT_EQ(certList({{"LC_ALL", "sv_SE.UTF-8"}, {"TZ", zone}}).out, expected) << qPrintable(zone);
}

TEST(CertCommand, TheSystemTrustBundleAgreesWithOpenssl)
{
    const QString bundle = QStringLiteral("/etc/ssl/certs/ca-certificates.crt");
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (!QFile::exists(bundle) || openssl.isEmpty())
        GTEST_SKIP() << "needs the system trust bundle and the openssl command";
    const QList<QByteArray> certificates = splitBundle(testenv::readFile(bundle));
    ASSERT_FALSE(certificates.isEmpty());

    const ProgramRun run = certList({{"LC_ALL", "sv_SE.UTF-8"}, {"TELLVARA_TRUST_BUNDLE", bundle}});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), certificates.size());

    const QString folder = testenv::freshDir(QStringLiteral("bundle"));
    for (qsizetype i = 0; i < certificates.size(); ++i) {
        const QString file = folder + QStringLiteral("/%1.pem").arg(i);
        testenv::writeFile(file, certificates.at(i));
        const QString expected = opensslLineStart(openssl, file);
        EXPECT_TRUE(lines.at(i).startsWith(expected)) << qPrintable(lines.at(i)) << "\nopenssl: " << qPrintable(expected);
    }
}
