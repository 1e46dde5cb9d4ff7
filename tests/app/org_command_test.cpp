// vardoctl org: the window's rows, and deletion after the same question asked on the
// terminal (or without it, given --yes).
#include "../service/service_process.h"

#include "app/core/organisation_list.h"
#include "program_run.h"
#include "refused_writes.h"
#include "suite/data_link_file.h"
#include "suite/paths.h"
#include "suite/registry.h"
#include "test_env.h"

#include <QDir>

using namespace servicetest;

namespace {

void storeNumber(int slot, const QString &number)
{
    ASSERT_TRUE(suite::WriteRegistryString(suite::RegistryRoot::LocalMachine, suite::organisationSlotKey(slot),
                                           suite::OrganisationValue::OrganisationsNr, number));
}

QString number(int slot)
{
    return suite::readOrganisationSlot(slot).organisationsNr;
}

void storeValue(const QString &key, const QString &name, const QString &text)
{
    ASSERT_TRUE(suite::WriteRegistryString(suite::RegistryRoot::LocalMachine, key, name, text));
}

QString dataLinkFolder()
{
    return qEnvironmentVariable("TELLVARA_ROOT") + "/var/lib/tellvara/common-files/System/Ole DB/Data Links/";
}

// A data link in the data-link folder that names a provider.
QString dataLink(const QString &name)
{
    const QString path = dataLinkFolder() + name;
    EXPECT_TRUE(QDir().mkpath(dataLinkFolder()));
    suite::WriteDataLinkFile(path, "Provider=SQLite;Data Source=/srv/p.db");
    return path;
}

// The default data link, as the console's settings store it.
void configureDefaultDataLink(const QString &file)
{
    storeValue("SOFTWARE\\Tellvara\\" + suite::InstallKeyOf(QDir::currentPath() + "/") + "DataProvider",
               "DefaultDataProvider", file);
}

} // namespace

TEST(OrgCommand, ListsTheWindowsRowsWithTheirSlots)
{
    storeNumber(1, QStringLiteral("5565"));
    ASSERT_TRUE(suite::WriteRegistryString(suite::RegistryRoot::LocalMachine, suite::certificateKey(1),
                                           suite::OrganisationValue::DefaultVardoCertificate, QStringLiteral("0A1B")));
    storeNumber(3, QStringLiteral("12 - 34"));
    storeNumber(101, QStringLiteral("not listed"));
    const CommandResult result = vardoctl({"org", "list"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QStringLiteral("1\t5565 - 0A1B\n3\t12 - 34 - \n"));
}

TEST(OrgCommand, DeleteAsksOnTheTerminal)
{
    storeNumber(3, QStringLiteral("12 - 34"));
    const CommandResult no = vardoctl({"org", "delete", "3"}, "n\n");
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_TRUE(no.err.contains(QStringLiteral("Radera organisationen 12?"))) << qPrintable(no.err);
    EXPECT_EQ(number(3), QStringLiteral("12 - 34"));

    const CommandResult closed = vardoctl({"org", "delete", "3"}); // end of input
    EXPECT_EQ(closed.exitCode, 1);
    EXPECT_EQ(number(3), QStringLiteral("12 - 34"));

    const CommandResult yes = vardoctl({"org", "delete", "3"}, "y\n");
    EXPECT_EQ(yes.exitCode, 0) << qPrintable(yes.err);
    EXPECT_TRUE(number(3).isEmpty());
}

TEST(OrgCommand, DeleteWithYesDoesNotAsk)
{
    storeNumber(2, QStringLiteral("5565"));
    const CommandResult result = vardoctl({"org", "delete", "2", "--yes"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(result.err.contains(QStringLiteral("Radera")));
    EXPECT_TRUE(number(2).isEmpty());
}

TEST(OrgCommand, OnlyListedSlotsCanBeDeleted)
{
    storeNumber(101, QStringLiteral("not listed"));
    for (const char *slot : {"5", "101"}) {
        const CommandResult result = vardoctl({"org", "delete", slot, "--yes"});
        EXPECT_EQ(result.exitCode, 1) << slot;
        EXPECT_TRUE(result.err.contains(QStringLiteral("No organisation is listed in slot"))) << qPrintable(result.err);
    }
    EXPECT_EQ(number(101), QStringLiteral("not listed"));
}

TEST(OrgCommand, UsageErrors)
{
    for (const QStringList &args : {QStringList{"org"}, QStringList{"org", "delete"}, QStringList{"org", "delete", "x"},
                                    QStringList{"org", "delete", "0"}, QStringList{"org", "delete", "2", "--force"},
                                    QStringList{"org", "list", "extra"}})
        EXPECT_EQ(vardoctl(args).exitCode, 2) << qPrintable(args.join(' '));
}

// add and edit write what the editor's "Spara" writes; show prints the slot.
TEST(OrgCommand, AddTakesTheFirstFreeSlotAndEditKeepsWhatIsNotGiven)
{
    const QString linkFolder = qEnvironmentVariable("TELLVARA_ROOT")
                               + "/var/lib/tellvara/common-files/System/Ole DB/Data Links/";
    ASSERT_TRUE(QDir().mkpath(linkFolder));
    suite::WriteDataLinkFile(linkFolder + "Praktik.udl", "Provider=SQLite;Data Source=/srv/p.db");
    storeNumber(1, QStringLiteral("1111"));

    CommandResult added = vardoctl({"org", "add", "--orgnr", "5561234567", "--cert",
                                    "MY 0A1B2C - 2030-01-01, Vårdcentralen", "--datalink", "Praktik.udl",
                                    "--check-pasis", "1"});
    EXPECT_EQ(added.exitCode, 0) << qPrintable(added.err);
    EXPECT_EQ(added.out, "2\n");
    EXPECT_EQ(vardoctl({"org", "show", "2"}).out,
              "OrganisationsNr=5561234567\nCheckPasis=1\nDefaultVardoCertificate=0A1B2C\n"
              "DefaultDataProvider=" + linkFolder + "Praktik.udl\n");

    const CommandResult edited = vardoctl({"org", "edit", "2", "--orgnr", "5569876543", "--check-pasis", "0"});
    EXPECT_EQ(edited.exitCode, 0) << qPrintable(edited.err);
    EXPECT_EQ(edited.out, "");
    const suite::OrganisationSlot slot = suite::readOrganisationSlot(2);
    EXPECT_EQ(slot.organisationsNr, "5569876543");
    EXPECT_EQ(slot.checkPasis, "0");
    EXPECT_EQ(slot.certificate, "0A1B2C");
    EXPECT_EQ(slot.dataProvider, linkFolder + "Praktik.udl");
    EXPECT_EQ(vardoctl({"org", "list"}).out, "1\t1111 - \n2\t5569876543 - 0A1B2C\n");
}

TEST(OrgCommand, AddAndEditRefuseWhatTheyCannotUse)
{
    const struct
    {
        QStringList args;
        int code;
    } cases[] = {
        {{"org", "add", "--datalink", "finns-inte.udl"}, 1},
        {{"org", "add", "--check-pasis", "yes"}, 2},
        {{"org", "add", "--orgnr"}, 2},
        {{"org", "add", "--colour", "red"}, 2},
        {{"org", "edit", "--orgnr", "1"}, 2},
        {{"org", "show"}, 2},
    };
    for (const auto &c : cases) {
        const CommandResult result = vardoctl(c.args);
        EXPECT_EQ(result.exitCode, c.code) << qPrintable(c.args.join(' ')) << qPrintable(result.err);
    }
    EXPECT_TRUE(number(1).isEmpty()) << "nothing may be written after a refusal";
}

// An account whose writes the store refuses: exit 1 with the system's reason and how the
// right is had, and nothing written.
TEST(OrgCommand, AddAndEditAsARefusedAccountFailAndChangeNothing)
{
    storeNumber(1, QStringLiteral("1111"));
    const QString link = dataLink("Praktik.udl");
    const testenv::RefusedMachineWrites refused;
    for (const QStringList &args :
         {QStringList{"org", "add", "--orgnr", "5", "--datalink", link}, QStringList{"org", "edit", "1", "--orgnr", "5"}}) {
        const CommandResult result = refused.runProgram(vardoctlProgram(), args);
        EXPECT_EQ(result.exitCode, 1) << qPrintable(args.join(' ')) << qPrintable(result.err);
        EXPECT_EQ(result.out, "") << qPrintable(args.join(' '));
        EXPECT_TRUE(result.err.contains(suite::MachineWriteRightsHint)) << qPrintable(result.err);
    }
    EXPECT_EQ(number(1), QStringLiteral("1111"));
    EXPECT_TRUE(number(2).isEmpty());
}

// add never overwrites, edit never creates, and a slot is a plain number.
TEST(OrgCommand, AddTakesOnlyAFreeSlotAndEditOnlyOneInUse)
{
    storeNumber(1, QStringLiteral("1111"));
    const QString link = dataLink("Praktik.udl");
    const struct
    {
        QStringList args;
        int code;
        const char *message;
    } cases[] = {
        {{"org", "add", "1", "--orgnr", "9", "--datalink", link}, 1, "Slot 1 is in use"},
        {{"org", "edit", "5", "--orgnr", "9"}, 1, "No organisation is stored in slot 5"},
        {{"org", "show", "999"}, 1, "No organisation is stored in slot 999"},
        {{"org", "delete", "999", "--yes"}, 1, "No organisation is listed in slot 999"},
        {{"org", "show", " 1"}, 2, "plain digits"},
        {{"org", "show", "+1"}, 2, "plain digits"},
        {{"org", "show", "1x"}, 2, "plain digits"},
        {{"org", "show", "0"}, 2, "plain digits"},
        {{"org", "edit", " 1", "--orgnr", "9"}, 2, "plain digits"},
        {{"org", "add", "+3", "--orgnr", "9", "--datalink", link}, 2, "plain digits"},
        {{"org", "delete", "1x", "--yes"}, 2, "plain digits"},
    };
    for (const auto &c : cases) {
        const CommandResult result = vardoctl(c.args);
        EXPECT_EQ(result.exitCode, c.code) << qPrintable(c.args.join(' ')) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(QLatin1String(c.message))) << qPrintable(c.args.join(' ')) << qPrintable(result.err);
        EXPECT_EQ(result.out, "") << qPrintable(c.args.join(' '));
    }
    EXPECT_EQ(number(1), "1111");
    for (const int slot : {3, 5, 999})
        EXPECT_TRUE(number(slot).isEmpty()) << slot;

    const CommandResult added = vardoctl({"org", "add", "--orgnr", "9", "--datalink", link});
    EXPECT_EQ(added.exitCode, 0) << qPrintable(added.err);
    EXPECT_EQ(added.out, "2\n");
}

// edit writes back what it was not told to change exactly as stored.
TEST(OrgCommand, EditKeepsEveryValueNotGivenByteForByte)
{
    const QString key = suite::organisationSlotKey(1);
    storeValue(key, "OrganisationsNr", "  1111 ");
    storeValue(key, "CheckPasis", "yes");
    storeValue(key + "\\Certifikat", "DefaultVardoCertificate", "bar baz");
    storeValue(key + "\\DataProvider", "DefaultDataProvider", "/nowhere/Borta.udl");

    CommandResult result = vardoctl({"org", "edit", "1", "--orgnr", "2222"});
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err);
    suite::OrganisationSlot slot = suite::readOrganisationSlot(1);
    EXPECT_EQ(slot.organisationsNr, "2222");
    EXPECT_EQ(slot.checkPasis, "yes");
    EXPECT_EQ(slot.certificate, "bar baz");
    EXPECT_EQ(slot.dataProvider, "/nowhere/Borta.udl");

    result = vardoctl({"org", "edit", "1", "--check-pasis", "1", "--cert", "MY 0A1B - 2030-01-01, Vårdcentralen"});
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err);
    slot = suite::readOrganisationSlot(1);
    EXPECT_EQ(slot.organisationsNr, "2222");
    EXPECT_EQ(slot.checkPasis, "1");
    EXPECT_EQ(slot.certificate, "0A1B");
    EXPECT_EQ(slot.dataProvider, "/nowhere/Borta.udl");
}

// Input that would damage the list or point the service at no data link is refused, and
// a refused value names its option.
TEST(OrgCommand, AddRefusesInputItCannotStore)
{
    const QString link = dataLink("Praktik.udl");
    const struct
    {
        QStringList args;
        int code;
        const char *message;
    } cases[] = {
        {{"org", "add", "--orgnr", "55\n61", "--datalink", link}, 2, "--orgnr"},
        {{"org", "add", "--orgnr", "55\t61", "--datalink", link}, 2, "--orgnr"},
        {{"org", "add", "--orgnr", "5", "--check-pasis", "2", "--datalink", link}, 2, "--check-pasis"},
        {{"org", "add", "--orgnr", "5", "--datalink", "/etc/passwd"}, 1, "/etc/passwd is no data link"},
        {{"org", "add", "--orgnr", "5"}, 1, "No default data link is configured"},
        {{"org", "add", "--orgnr", "5", "--datalink"}, 2, "--datalink takes a value"},
    };
    for (const auto &c : cases) {
        const CommandResult result = vardoctl(c.args);
        EXPECT_EQ(result.exitCode, c.code) << qPrintable(c.args.join(' ')) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(QLatin1String(c.message))) << qPrintable(c.args.join(' ')) << qPrintable(result.err);
    }
    EXPECT_TRUE(number(1).isEmpty()) << "nothing may be written after a refusal";
    EXPECT_EQ(vardoctl({"org", "list"}).out, "");
}

TEST(OrgCommand, AddStoresTheDefaultOrAGivenDataLinkWithItsWholePath)
{
    const QString here = testenv::freshDir("here");
    suite::WriteDataLinkFile(here + "/Lokal.udl", "Provider=SQLite;Data Source=/srv/l.db");
    testenv::RunOptions options;
    options.workDir = here;
    const testenv::ProgramRun added = testenv::runProgram(vardoctlProgram(), {"org", "add", "--orgnr", "1", "--datalink", "Lokal.udl"}, options);
    EXPECT_EQ(added.exitCode, 0) << qPrintable(added.err);
    EXPECT_EQ(suite::readOrganisationSlot(1).dataProvider, here + "/Lokal.udl");

    configureDefaultDataLink(dataLink("Standard.udl"));
    const CommandResult byDefault = vardoctl({"org", "add", "--orgnr", "2"});
    EXPECT_EQ(byDefault.exitCode, 0) << qPrintable(byDefault.err);
    EXPECT_EQ(suite::readOrganisationSlot(2).dataProvider, dataLinkFolder() + "Standard.udl");
}

TEST(OrgCommand, JsonFailuresAreAnErrorDocument)
{
    const CommandResult result = vardoctl({"--json", "org", "show", "999"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.startsWith("{\"error\":")) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains("No organisation is stored in slot 999")) << qPrintable(result.err);
}
