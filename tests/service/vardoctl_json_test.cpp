// "vardoctl --json": every reading command prints one JSON document with the keys its
// manual page lists; a write answers with the new state; a failure leaves {"error": ...}
// on standard error with the exit code of the text form.
#include "service_process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace servicetest;

namespace {

struct JsonRun
{
    int exitCode = -1;
    QJsonDocument out;
    QJsonDocument err;
    QString rawOut;
};

QJsonDocument parsed(const QString &text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << qPrintable(text);
    return document;
}

// "--json" goes first or last, in turn, so both places are tried throughout.
JsonRun json(const QStringList &args)
{
    static bool last = false;
    last = !last;
    const CommandResult run = vardoctl(last ? args + QStringList{"--json"} : QStringList{"--json"} + args);
    JsonRun result{run.exitCode, {}, {}, run.out};
    if (!run.out.isEmpty())
        result.out = parsed(run.out);
    if (!run.err.isEmpty() && run.exitCode != 0)
        result.err = parsed(run.err);
    return result;
}

QStringList keysOf(const QJsonObject &object)
{
    return object.keys();
}

QString dataLinkFolder()
{
    return testenv::root() + QStringLiteral("/system/var/lib/tellvara/common-files/System/Ole DB/Data Links/");
}

class VardoctlJson : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(vardoctl({"trial"}).exitCode, 0);
    }
};

} // namespace

TEST_F(VardoctlJson, SettingsShowAndSetAnswerWithTheSevenSettings)
{
    storePort(8123);
    JsonRun show = json({"settings", "show"});
    ASSERT_EQ(show.exitCode, 0);
    const QJsonObject settings = show.out.object();
    EXPECT_EQ(keysOf(settings), (QStringList{"AlwaysLogtoFile", "CheckPatientTime", "DefaultDataProvider",
                                             "GetMessageIntervall", "LogtoEventLogg", "Pasis_Path", "TcpIPPort"}));
    EXPECT_EQ(settings["TcpIPPort"].toInt(), 8123);
    EXPECT_EQ(settings["GetMessageIntervall"].toInt(), 5);
    EXPECT_EQ(settings["CheckPatientTime"].toString(), "05:45");
    EXPECT_EQ(settings["LogtoEventLogg"].toString(), "T");

    const JsonRun set = json({"settings", "set", "TcpIPPort=9090", "Pasis_Path=/srv/import \"å\""});
    ASSERT_EQ(set.exitCode, 0);
    EXPECT_EQ(set.out.object()["TcpIPPort"].toInt(), 9090);
    EXPECT_EQ(set.out.object()["Pasis_Path"].toString(), QString::fromUtf8("/srv/import \"å\""));

    const JsonRun refused = json({"settings", "set", "CheckPatientTime=25:99"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.rawOut.isEmpty());
    EXPECT_TRUE(refused.err.object()["error"].toString().contains("not a time of day")) << qPrintable(refused.err.toJson());
}

TEST_F(VardoctlJson, OrganisationsAreListedShownAddedEditedAndDeleted)
{
    EXPECT_EQ(json({"org", "list"}).out.array(), QJsonArray());
    const JsonRun added = json({"org", "add", "--orgnr", "556000-0001", "--datalink", "Exempelpraktik.udl", "--check-pasis", "1"});
    ASSERT_EQ(added.exitCode, 0);
    const QJsonObject slot = added.out.object();
    EXPECT_EQ(keysOf(slot), (QStringList{"CheckPasis", "DefaultDataProvider", "DefaultVardoCertificate", "OrganisationsNr", "slot"}));
    EXPECT_EQ(slot["slot"].toInt(), 1);
    EXPECT_EQ(slot["OrganisationsNr"].toString(), "556000-0001");
    EXPECT_EQ(slot["CheckPasis"].toString(), "1");
    EXPECT_EQ(slot["DefaultDataProvider"].toString(), dataLinkFolder() + "Exempelpraktik.udl");

    EXPECT_EQ(json({"org", "edit", "1", "--check-pasis", "0"}).out.object()["CheckPasis"].toString(), "0");
    EXPECT_EQ(json({"org", "show", "1"}).out.object(), json({"org", "edit", "1"}).out.object());

    const QJsonArray rows = json({"org", "list"}).out.array();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].toObject()["slot"].toInt(), 1);
    EXPECT_TRUE(rows[0].toObject()["text"].toString().startsWith("556000-0001")) << qPrintable(rows[0].toObject()["text"].toString());

    const JsonRun deleted = json({"org", "delete", "1", "--yes"});
    EXPECT_EQ(deleted.exitCode, 0);
    EXPECT_EQ(deleted.out.array(), QJsonArray());
    const JsonRun missing = json({"org", "delete", "1", "--yes"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.object()["error"].toString(), "No organisation is listed in slot 1.");
}

TEST_F(VardoctlJson, DataLinksDatabaseAndCertificatesAreArraysAndObjects)
{
    const QJsonArray links = json({"datalink", "list"}).out.array();
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[1].toObject(), (QJsonObject{{"name", "Exempelpraktik.udl"}, {"default", false}}));
    EXPECT_TRUE(json({"datalink", "default", "Exempelpraktik.udl"}).out.array()[1].toObject()["default"].toBool());

    testenv::writeFile(dataLinkFolder() + "Hemlig.udl",
                       "[oledb]\r\nProvider=PostgreSQL;Data Source=127.0.0.1;User ID=u;Password=topsecret\r\n");
    const JsonRun shown = json({"datalink", "show", "Hemlig.udl"});
    EXPECT_EQ(keysOf(shown.out.object()), QStringList{"connectionString"});
    EXPECT_FALSE(shown.rawOut.contains("topsecret")) << qPrintable(shown.rawOut);

    EXPECT_EQ(json({"db", "query", "Exempelpraktik.udl"}).out.array(),
              (QJsonArray{"556000-0001", "556000-0019", "802400-0005"}));
    const JsonRun noLink = json({"db", "query", "Saknas.udl"});
    EXPECT_EQ(noLink.exitCode, 1);
    EXPECT_FALSE(noLink.err.object()["error"].toString().isEmpty());

    const JsonRun certs = json({"cert", "list"});
    EXPECT_EQ(certs.exitCode, 0);
    for (const QJsonValue &line : certs.out.array())
        EXPECT_TRUE(line.isString());
}

TEST_F(VardoctlJson, PathsAreOneObject)
{
    const QJsonObject paths = json({"paths", "NOLOGIN=1"}).out.object();
    EXPECT_EQ(keysOf(paths), (QStringList{"CurrentPath", "DataLinkPath", "DefaultConnectionString", "DefaultDataProviderFile",
                                          "InstallKey", "NoLogin", "SuitePath", "System32Path", "WindowsPath"}));
    EXPECT_EQ(paths["NoLogin"], QJsonValue(true));
    EXPECT_EQ(paths["DataLinkPath"].toString(), dataLinkFolder());
}

TEST_F(VardoctlJson, ServiceStateAndProbeAnswers)
{
    const quint16 port = freePort();
    storePort(port);
    EXPECT_EQ(json({"service", "status"}).err.object()["error"].toString(), "Could not retrieve current status on selected Service");
    ASSERT_EQ(vardoctl({"service", "install-local"}).exitCode, 0);
    EXPECT_EQ(json({"service", "status"}).out.object(), (QJsonObject{{"state", "SERVICE_STOPPED"}}));
    const JsonRun noContact = json({"probe", "version"});
    EXPECT_EQ(noContact.exitCode, 1);
    EXPECT_EQ(noContact.err.object()["error"].toString(), QString::fromUtf8("Ingen kontakt med tjänsten på den inställda porten!"));

    EXPECT_EQ(json({"service", "start"}).out.object(), (QJsonObject{{"state", "SERVICE_RUNNING"}}));
    const JsonRun version = json({"probe", "version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(keysOf(version.out.object()), QStringList{"version"});
    EXPECT_FALSE(version.out.object()["version"].toString().isEmpty());
    EXPECT_EQ(keysOf(json({"probe", "logdir"}).out.object()), QStringList{"logdir"});
    EXPECT_EQ(json({"service", "stop"}).out.object(), (QJsonObject{{"state", "SERVICE_STOPPED"}}));
}

TEST_F(VardoctlJson, DialUpEntriesStatusAndStatistics)
{
    qputenv("TELLVARA_RAS_BACKEND", "simulated");
    EXPECT_EQ(json({"dialup", "entries"}).out.array(), (QJsonArray{"Exempel", "Upptaget"}));
    EXPECT_EQ(json({"dialup", "status"}).out.array(), QJsonArray());
    ASSERT_EQ(vardoctl({"dialup", "dial", "Exempel"}).exitCode, 0);
    const QJsonArray connections = json({"dialup", "status"}).out.array();
    ASSERT_EQ(connections.size(), 1);
    EXPECT_EQ(keysOf(connections[0].toObject()), (QStringList{"deviceName", "deviceType", "entry", "state"}));
    EXPECT_EQ(connections[0].toObject()["entry"].toString(), "Exempel");
    EXPECT_EQ(vardoctl({"dialup", "hangup"}).exitCode, 0);

    const QString counters = testenv::root() + "/net-dev";
    testenv::writeFile(counters, "Inter-|   Receive                                                |  Transmit\n"
                                 " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs drop fifo colls carrier compressed\n"
                                 "  ppp0:    1234      10    0    0    0     0          0         0     5678      12    0    0    0     0       0          0\n");
    qputenv("TELLVARA_PROC_NET_DEV", counters.toUtf8());
    EXPECT_EQ(json({"dialup", "stats"}).out.object(), (QJsonObject{{"bytesSent", 5678}, {"bytesReceived", 1234}}));
    qunsetenv("TELLVARA_PROC_NET_DEV");
    qunsetenv("TELLVARA_RAS_BACKEND");
}

TEST_F(VardoctlJson, WritesOfFilesAnswerWithWhatTheyWrote)
{
    const JsonRun trial = json({"trial"});
    ASSERT_EQ(trial.exitCode, 0);
    EXPECT_EQ(trial.out.array().last().toString(), testenv::root() + "/system/var/lib/tellvara/sample/exempelpraktik.sqlite");
    EXPECT_EQ(json({"datalink", "new", "Ny", "--provider", "sqlite", "--data-source", "/tmp/x.sqlite"}).out.object(),
              (QJsonObject{{"path", dataLinkFolder() + "Ny.udl"}}));
    EXPECT_EQ(keysOf(json({"service", "install-local"}).out.object()), QStringList{"path"});
    storePort(8555);
    EXPECT_EQ(json({"reg", "query", "HKLM", "SOFTWARE\\Tellvara\\Vardo-Service\\Port", "TcpIPPort"}).out.object(),
              (QJsonObject{{"value", "8555"}}));
}

TEST_F(VardoctlJson, AUsageErrorKeepsItsExitCode)
{
    const JsonRun run = json({"org", "show", "x"});
    EXPECT_EQ(run.exitCode, 2);
    const QString error = run.err.object()["error"].toString();
    EXPECT_TRUE(error.startsWith("SLOT must be a number")) << qPrintable(error); // what was wrong, then the usage
    EXPECT_TRUE(error.contains("usage:\nvardoctl org list")) << qPrintable(error);
}
