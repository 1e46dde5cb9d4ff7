#pragma once
// The suite's list filler: a combo box's entries from a query's rows. The combo is given
// as plain contents (entries, the key each carries, the selection, the edit text) so that
// the rule can be driven without a window; the dialog copies them into its combo box.
#include <QList>
#include <QString>
#include <QStringList>

#include <exception>

namespace platform {
class DatabaseQuery;
}

namespace editor {

struct ComboContents
{
    QStringList entries;
    QList<int> keys;   // the key column's value per entry; 0 without a key column
    int selected = -1; // index into entries
    QString text;      // the edit text
};

// Empties the combo, reopens the query and adds one entry per row (an empty result adds
// one empty entry), "Alla" first when addAll is set, then selects the first entry. When
// a key column is named, each entry carries its integer value and the query ends on the
// row of the key it was on before. When the query cannot be opened, the error box names
// the table ("Det gick inte att öppna tabellen TRKLINIK!" and the error's message) and the
// combo stays empty; that is not raised.
void FillComboFromQuery(platform::DatabaseQuery &query, ComboContents &combo, const QString &valueColumn,
                        bool addAll, const QString &keyColumn);

// The message of a query that cannot be opened: "Det gick inte att öppna tabellen " and the
// table's name, "!", "\r\r" and the error's message.
QString UnopenedTableText(const QString &queryText, const std::exception &error);

// The table a query's text reads: the word after the first "FROM" (the whole text's first
// word when there is none), up to a blank or a line break.
QString TableNameOfQuery(const QString &queryText);

} // namespace editor
