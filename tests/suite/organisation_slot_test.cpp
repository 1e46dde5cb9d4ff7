// One organisation slot written as a whole: every write checked, and a refusal found
// before the first value, so the slot keeps its old values.
#include "suite/organisation_slot.h"

#include "file_checks.h"
#include "refused_writes.h"
#include "suite/registry.h"
#include "test_env.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace suite;

namespace {

const OrganisationSlot Stored{2, "5561234567", "0A1B2C", "/srv/praktik.udl", "1"};
const OrganisationSlot Changed{2, "5569876543", "FFEE", "/srv/annan.udl", "0"};

void expectSlot(const OrganisationSlot &expected)
{
    const OrganisationSlot slot = readOrganisationSlot(expected.slot);
    EXPECT_EQ(slot.organisationsNr, expected.organisationsNr);
    EXPECT_EQ(slot.certificate, expected.certificate);
    EXPECT_EQ(slot.dataProvider, expected.dataProvider);
    EXPECT_EQ(slot.checkPasis, expected.checkPasis);
}

QString slotFolder(int slot)
{
    return qEnvironmentVariable("TELLVARA_ROOT") + "/etc/tellvara/registry/software/tellvara/vardo-service/organisation/orgnr"
           + QString::number(slot);
}

} // namespace

TEST(OrganisationSlot, WritesTheFourValuesWhereTheServiceReadsThem)
{
    writeOrganisationSlot(Stored);
    expectSlot(Stored);
    EXPECT_EQ(ReadRegistryString(RegistryRoot::LocalMachine,
                                 "SOFTWARE\\Tellvara\\Vardo-Service\\Organisation\\OrgNr2\\Certifikat",
                                 "DefaultVardoCertificate"),
              "0A1B2C");
}

TEST(OrganisationSlot, ARefusedAccountLeavesTheOldValuesAndIsToldWhy)
{
    writeOrganisationSlot(Stored);
    const testenv::RefusedMachineWrites refused;
    for (const int slot : {2, 3}) { // an existing slot, and a new one whose key must be made
        QString error;
        refused.run([&] { error = testenv::errorOf([&] { writeOrganisationSlot({slot, "1", "2", "3", "0"}); }); });
        EXPECT_TRUE(error.startsWith(QString::fromLocal8Bit(std::strerror(EACCES)))) << error.toStdString();
        EXPECT_TRUE(error.endsWith(MachineWriteRightsHint)) << error.toStdString();
        EXPECT_TRUE(error.contains("adduser USER tellvara"));
    }
    expectSlot(Stored);
    EXPECT_TRUE(readOrganisationsNr(3).isEmpty());
}

TEST(OrganisationSlot, AKeyThatCannotBeWrittenStopsTheWriteBeforeTheFirstValue)
{
    writeOrganisationSlot(Stored);
    // The last sub-key made impossible for every account, root too: a file in its place.
    ASSERT_TRUE(QDir(slotFolder(2) + "/dataprovider").removeRecursively());
    testenv::writeFile(slotFolder(2) + "/dataprovider", "a file where the key should be");

    const QString error = testenv::errorOf([] { writeOrganisationSlot(Changed); });
    EXPECT_TRUE(error.startsWith(QString::fromLocal8Bit(std::strerror(ENOTDIR)))) << error.toStdString();
    expectSlot({2, Stored.organisationsNr, Stored.certificate, "", Stored.checkPasis});
}

TEST(OrganisationSlot, ATextBeyondTheStoresLimitStopsTheWriteBeforeTheFirstValue)
{
    writeOrganisationSlot(Stored);
    const QString error = testenv::errorOf([] { writeOrganisationSlot({2, "1", "2", QString(1025, u'x'), "0"}); });
    EXPECT_TRUE(error.contains("DefaultDataProvider")) << error.toStdString();
    expectSlot(Stored);
}
