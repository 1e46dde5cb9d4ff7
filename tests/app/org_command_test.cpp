// vardoctl org: the window's rows, and deletion after the same question asked on the
// terminal (or without it, given --yes).
#include "../service/service_process.h"

#include "app/core/organisation_list.h"
#include "suite/data_link_file.h"

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
