#include "editor/trklinik_query.h"

#include "editor/fill_combo_from_query.h"
#include "editor/open_data_link.h"
#include "platform/database.h"
#include "platform/error.h"

namespace editor {

QStringList QueryOrganisationNumbers(const QString &dataLinkFile)
{
    platform::DatabaseConnection database;
    OpenDataLink(dataLinkFile, database);
    platform::DatabaseQuery query(database);
    query.setText(QString::fromUtf16(TrklinikQueryText));
    try {
        query.open();
    } catch (const std::exception &e) {
        throw platform::Error(UnopenedTableText(query.text(), e));
    }
    QStringList numbers;
    for (query.first(); !query.atEnd(); query.next())
        numbers << query.fieldText(QString::fromUtf16(OrganisationNumberColumn));
    return numbers;
}

} // namespace editor
