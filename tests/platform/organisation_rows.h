#pragma once
// The organisation query run through DatabaseConnection/DatabaseQuery, for the tests of
// each kind of database.
#include "platform/database.h"
#include "platform/error.h"

#include <QStringList>

namespace testdb {

inline const QString OrganisationQuery = QStringLiteral("SELECT DISTINCT ORGNR FROM TRKLINIK\nWHERE ORGNR > ' '");

// The distinct organisation numbers, sorted (DISTINCT promises no order).
inline QStringList organisationNumbers(const QString &connectionString)
{
    platform::DatabaseConnection connection;
    connection.open(connectionString);
    platform::DatabaseQuery query(connection);
    query.setText(OrganisationQuery);
    query.open();
    QStringList numbers;
    for (query.first(); !query.atEnd(); query.next())
        numbers << query.fieldText(QStringLiteral("ORGNR"));
    numbers.sort();
    return numbers;
}

// The message of the error opening the connection and running the query gives; "" when none.
inline QString failureOf(const QString &connectionString)
{
    try {
        organisationNumbers(connectionString);
        return {};
    } catch (const platform::Error &e) {
        return e.message();
    }
}

// Duplicates, an empty and a blank number and their neighbours: what the query must sort out.
inline QStringList sampleRows()
{
    return {QStringLiteral("556000-0001"), QStringLiteral("802400-0005"), QStringLiteral("556000-0001"),
            QString(), QStringLiteral(" "), QStringLiteral("556000-0019")};
}

inline QStringList sampleNumbers()
{
    return {QStringLiteral("556000-0001"), QStringLiteral("556000-0019"), QStringLiteral("802400-0005")};
}

} // namespace testdb
