#include "editor/fill_combo_from_query.h"

#include "editor/certificate_catalogue.h"
#include "platform/database.h"
#include "platform/error.h"
#include "suite/dialogs.h"
#include "suite/translate.h"

namespace editor {
namespace {

int rememberedKey(const platform::DatabaseQuery &query, const QString &keyColumn)
{
    if (!query.isOpen() || keyColumn.isEmpty())
        return 0;
    return query.fieldInteger(keyColumn);
}

void addRows(platform::DatabaseQuery &query, ComboContents &combo, const QString &valueColumn,
             const QString &keyColumn)
{
    // The current row is handled before the end is tested, so no rows give one empty entry.
    query.first();
    do {
        combo.entries.append(query.fieldText(valueColumn));
        combo.keys.append(keyColumn.isEmpty() ? 0 : query.fieldInteger(keyColumn));
        query.next();
    } while (!query.atEnd());
}

} // namespace

QString UnopenedTableText(const QString &queryText, const std::exception &error)
{
    return suite::TranslateText(QStringLiteral("Det gick inte att öppna tabellen ")) + TableNameOfQuery(queryText)
           + QStringLiteral("!") + QStringLiteral("\r\r") + platform::messageOf(error);
}

QString TableNameOfQuery(const QString &queryText)
{
    const qsizetype from = queryText.indexOf(QLatin1String("FROM"));
    const QString rest = from < 0 ? queryText : trimBlanksAndControls(queryText.mid(from + 4));
    qsizetype end = 0;
    while (end < rest.size() && rest.at(end) != u' ' && rest.at(end) != u'\r' && rest.at(end) != u'\n')
        ++end;
    return rest.left(end);
}

void FillComboFromQuery(platform::DatabaseQuery &query, ComboContents &combo, const QString &valueColumn,
                        bool addAll, const QString &keyColumn)
{
    combo = ComboContents();
    int key = 0;
    try {
        key = rememberedKey(query, keyColumn);
        query.close();
        query.open();
    } catch (const std::exception &e) {
        suite::ShowError(UnopenedTableText(query.text(), e));
        return;
    }
    if (addAll) {
        combo.entries.append(suite::TranslateText(QStringLiteral("Alla")));
        combo.keys.append(0);
    }
    addRows(query, combo, valueColumn, keyColumn);
    combo.selected = 0;
    combo.text = combo.entries.first();
    if (!keyColumn.isEmpty() && key != 0)
        query.locate(keyColumn, key);
}

} // namespace editor
