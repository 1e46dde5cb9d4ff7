// The list filler on a real SQLite database, and how it names the table of a query.
#include "editor/fill_combo_from_query.h"

#include "platform/database.h"
#include "platform/testing/recording_presenter.h"
#include "test_env.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {

TEST(TableNameOfQuery, TakesTheWordAfterTheFirstFrom)
{
    const struct
    {
        const char *text;
        const char *table;
    } cases[] = {
        {"SELECT DISTINCT ORGNR FROM TRKLINIK\nWHERE ORGNR > ' '", "TRKLINIK"},
        {"SELECT A FROM   T1 WHERE A > 0", "T1"},
        {"SELECT A FROM T2\r\nORDER BY A", "T2"},
        {"SELECT A FROM T3", "T3"},
        {"select a from t4", "select"},   // "FROM" counts in upper case only
        {"TRKLINIK", "TRKLINIK"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(editor::TableNameOfQuery(QString::fromUtf8(c.text)), QString::fromUtf8(c.table)) << c.text;
}

class FillComboFromQueryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = testenv::root() + "/praktik.db";
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fixture");
            db.setDatabaseName(path);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec("CREATE TABLE KLINIK (ID INTEGER, NAMN VARCHAR(20))"));
            ASSERT_TRUE(q.exec("INSERT INTO KLINIK VALUES (7, 'Norr'), (9, 'Söder'), (12, 'Väster')"));
        }
        QSqlDatabase::removeDatabase("fixture");
        connection.open("Provider=SQLite;Data Source=" + path);
    }

    platform::testing::RecordingPresenter presenter;
    platform::DatabaseConnection connection;
    platform::DatabaseQuery query{connection};
    editor::ComboContents combo;
};

TEST_F(FillComboFromQueryTest, AllFirstAndEachEntryCarriesItsKey)
{
    query.setText("SELECT ID, NAMN FROM KLINIK ORDER BY ID");
    combo.entries = {"stale"};
    combo.text = "stale";
    editor::FillComboFromQuery(query, combo, "NAMN", true, "ID");
    EXPECT_EQ(combo.entries, QStringList({"Alla", "Norr", "Söder", "Väster"}));
    EXPECT_EQ(combo.keys, QList<int>({0, 7, 9, 12}));
    EXPECT_EQ(combo.selected, 0);
    EXPECT_EQ(combo.text, "Alla");
    EXPECT_TRUE(presenter.boxes().isEmpty());
}

TEST_F(FillComboFromQueryTest, TheQueryReturnsToTheRowOfItsKeyButTheSelectionStaysFirst)
{
    query.setText("SELECT ID, NAMN FROM KLINIK ORDER BY ID");
    query.open();
    query.first();
    query.next(); // on ID 9
    editor::FillComboFromQuery(query, combo, "NAMN", false, "ID");
    EXPECT_EQ(query.fieldInteger("ID"), 9);
    EXPECT_EQ(combo.selected, 0);
    EXPECT_EQ(combo.text, "Norr");
}

TEST_F(FillComboFromQueryTest, AQueryThatCannotOpenNamesItsTableAndLeavesTheComboEmpty)
{
    query.setText("SELECT NAMN FROM SAKNAS WHERE 1 = 1");
    combo.entries = {"stale"};
    editor::FillComboFromQuery(query, combo, "NAMN", true, "");
    EXPECT_TRUE(combo.entries.isEmpty());
    EXPECT_EQ(combo.selected, -1);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes().first().text.startsWith("Det gick inte att öppna tabellen SAKNAS!\r\r"))
        << presenter.boxes().first().text.toStdString();
}

} // namespace
