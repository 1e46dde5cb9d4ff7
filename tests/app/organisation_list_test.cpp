// The organisation list: rows of slots 1 to 100, the slot "Lägg till..." offers, what the
// editor is handed, and deletion after the question.
#include "app/core/organisation_list.h"

#include "platform/testing/recording_presenter.h"
#include "suite/registry.h"

#include <gtest/gtest.h>

using namespace app;
using namespace suite;
using suite::RegistryRoot;

namespace {

void storeValue(const QString &key, const QString &name, const QString &text)
{
    ASSERT_TRUE(suite::WriteRegistryString(RegistryRoot::LocalMachine, key, name, text));
}

// A slot as the editor writes it: sub-keys without a trailing backslash.
void storeSlot(int slot, const QString &number, const QString &certificate = {}, const QString &dataProvider = {},
               const QString &checkPasis = QStringLiteral("0"))
{
    const QString key = organisationSlotKey(slot);
    storeValue(key, OrganisationValue::OrganisationsNr, number);
    storeValue(key, OrganisationValue::CheckPasis, checkPasis);
    storeValue(key + QStringLiteral("\\Certifikat"), OrganisationValue::DefaultVardoCertificate, certificate);
    storeValue(key + QStringLiteral("\\DataProvider"), OrganisationValue::DefaultDataProvider, dataProvider);
}

QString storedNumber(int slot)
{
    return suite::ReadRegistryString(RegistryRoot::LocalMachine, organisationSlotKey(slot), OrganisationValue::OrganisationsNr);
}

} // namespace

TEST(OrganisationList, SlotKeysFollowTheServiceLayout)
{
    EXPECT_EQ(organisationSlotKey(3), QStringLiteral("SOFTWARE\\Tellvara\\Vardo-Service\\Organisation\\OrgNr3"));
    EXPECT_EQ(organisationSlotKey(101), QStringLiteral("SOFTWARE\\Tellvara\\Vardo-Service\\Organisation\\OrgNr101"));
}

TEST(OrganisationList, EmptyStoreGivesNoRowsAndOffersSlotOne)
{
    const platform::testing::RecordingPresenter boxes;
    OrganisationList list = FillOrganisationList();
    EXPECT_TRUE(list.rows.isEmpty());
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(firstFreeOrganisationSlot(), 1);
    EXPECT_FALSE(deleteSelectedOrganisation(list));
    EXPECT_TRUE(boxes.boxes().isEmpty());
}

TEST(OrganisationList, RowsInSlotOrderWithTheirSlotsAndTheFirstSelected)
{
    storeSlot(3, QStringLiteral("333"));
    storeSlot(1, QStringLiteral("111"), QStringLiteral("0A1B"));
    const OrganisationList list = FillOrganisationList();
    const QList<OrganisationRow> expected{{QStringLiteral("111 - 0A1B"), 1}, {QStringLiteral("333 - "), 3}};
    EXPECT_EQ(list.rows, expected);
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(firstFreeOrganisationSlot(), 2);
}

TEST(OrganisationList, AllHundredSlotsUsedOffersSlotHundredAndOneWhichIsNeverListed)
{
    for (int slot = 1; slot <= 100; ++slot)
        storeValue(organisationSlotKey(slot), OrganisationValue::OrganisationsNr, QString::number(slot));
    EXPECT_EQ(FillOrganisationList().rows.size(), 100);
    EXPECT_EQ(firstFreeOrganisationSlot(), 101);

    storeValue(organisationSlotKey(101), OrganisationValue::OrganisationsNr, QStringLiteral("extra"));
    const OrganisationList list = FillOrganisationList();
    EXPECT_EQ(list.rows.size(), 100);
    EXPECT_EQ(list.rows.last().slot, 100);
    EXPECT_EQ(firstFreeOrganisationSlot(), 102);
}

TEST(OrganisationList, BlankOnlyNumberIsListedYetOfferedAsFree)
{
    storeSlot(1, QStringLiteral("   "), QStringLiteral("C"));
    storeSlot(2, QStringLiteral("222"));
    const OrganisationList list = FillOrganisationList();
    ASSERT_EQ(list.rows.size(), 2);
    EXPECT_EQ(list.rows.first().text, QStringLiteral("    - C"));
    EXPECT_EQ(firstFreeOrganisationSlot(), 1);
}

TEST(OrganisationList, NameOfRowIsTheTrimmedTextBeforeTheFirstSeparator)
{
    const struct
    {
        const char *row;
        const char *name;
    } cases[] = {
        {"5565 - 0A1B", "5565"},
        {"  5565  - 0A1B", "5565"},
        {"12 - 34 - X", "12"},
        {" - X", ""},
        {"no separator", ""},
        {"5565-0A1B", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(organisationNameOfRow(QString::fromUtf8(c.row)), QString::fromUtf8(c.name)) << c.row;
}

TEST(OrganisationList, DeletionAsksAboutTheNameBeforeTheFirstSeparatorAndDeletesTheRowsSlot)
{
    storeSlot(1, QStringLiteral("111"));
    storeSlot(2, QStringLiteral("12 - 34"), QStringLiteral("X"), QStringLiteral("/data/a.udl"), QStringLiteral("1"));
    storeSlot(3, QStringLiteral("333"));
    platform::testing::RecordingPresenter boxes;
    boxes.answer(platform::BoxYes);
    OrganisationList list = FillOrganisationList();
    list.selected = 1;

    EXPECT_TRUE(deleteSelectedOrganisation(list));

    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes().first().kind, platform::BoxKind::Confirmation);
    EXPECT_EQ(boxes.boxes().first().text, QStringLiteral("Radera organisationen 12?"));
    EXPECT_TRUE(storedNumber(2).isEmpty());
    EXPECT_TRUE(readOrganisationSlot(2).certificate.isEmpty());
    EXPECT_TRUE(readOrganisationSlot(2).dataProvider.isEmpty());
    EXPECT_EQ(storedNumber(1), QStringLiteral("111"));
    EXPECT_EQ(storedNumber(3), QStringLiteral("333"));
    const QList<OrganisationRow> expected{{QStringLiteral("111 - "), 1}, {QStringLiteral("333 - "), 3}};
    EXPECT_EQ(list.rows, expected);
    EXPECT_EQ(list.selected, 0);
    // Slots are not renumbered: the freed slot is offered next.
    EXPECT_EQ(firstFreeOrganisationSlot(), 2);
}

TEST(OrganisationList, AnsweringNoChangesNothing)
{
    storeSlot(1, QStringLiteral("111"), QStringLiteral("C"));
    platform::testing::RecordingPresenter boxes;
    boxes.answer(platform::BoxNo);
    OrganisationList list = FillOrganisationList();
    const OrganisationList before = list;

    EXPECT_FALSE(deleteSelectedOrganisation(list));

    EXPECT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(list.rows, before.rows);
    EXPECT_EQ(storedNumber(1), QStringLiteral("111"));
    EXPECT_EQ(readOrganisationSlot(1).certificate, QStringLiteral("C"));
}

TEST(OrganisationList, TheLastOrganisationCanBeDeleted)
{
    storeSlot(1, QStringLiteral("111"));
    platform::testing::RecordingPresenter boxes;
    boxes.answer(platform::BoxYes);
    OrganisationList list = FillOrganisationList();
    EXPECT_TRUE(deleteSelectedOrganisation(list));
    EXPECT_TRUE(list.rows.isEmpty());
    EXPECT_EQ(list.selected, -1);
}

TEST(OrganisationList, EditorGetsTheStoredValuesOfTheRowsSlot)
{
    storeSlot(7, QStringLiteral("5565"), QStringLiteral("0A1B2C"), QStringLiteral("/links/praktik.udl"), QStringLiteral("1"));
    const OrganisationEditorValues values = editorValuesForSlot(7);
    EXPECT_EQ(values.slotText, QStringLiteral("7"));
    EXPECT_EQ(values.organisationsNr, QStringLiteral("5565"));
    EXPECT_EQ(values.certificate, QStringLiteral("0A1B2C"));
    EXPECT_EQ(values.dataProvider, QStringLiteral("/links/praktik.udl"));
    EXPECT_TRUE(values.checkPasis);
}

TEST(OrganisationList, CheckPasisIsTickedOnlyByExactlyOne)
{
    const struct
    {
        const char *stored;
        bool ticked;
    } cases[] = {{"1", true}, {" 1", false}, {"1 ", false}, {"true", false}, {"0", false}, {"", false}, {"01", false}};
    for (const auto &c : cases) {
        storeSlot(1, QStringLiteral("111"), {}, {}, QString::fromUtf8(c.stored));
        EXPECT_EQ(editorValuesForSlot(1).checkPasis, c.ticked) << '"' << c.stored << '"';
    }
}

TEST(OrganisationList, AbsentSlotGivesEmptyEditorValues)
{
    const OrganisationEditorValues values = editorValuesForSlot(4);
    EXPECT_EQ(values.slotText, QStringLiteral("4"));
    EXPECT_TRUE(values.organisationsNr.isEmpty());
    EXPECT_TRUE(values.certificate.isEmpty());
    EXPECT_TRUE(values.dataProvider.isEmpty());
    EXPECT_FALSE(values.checkPasis);
}
