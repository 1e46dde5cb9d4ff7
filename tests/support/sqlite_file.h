#pragma once
// SQLite files for the data-access tests, made with the sqlite3 program so that the
// code under test plays no part in building them.
#include <QString>
#include <QStringList>

namespace testenv {

// Runs SQL on the file (creating it) with sqlite3; throws with its output on failure.
void runSqlite(const QString &path, const QString &sql);

// A file with the table TRKLINIK (ID integer, ORGNR text) holding the rows in this order
// (ID 1, 2, ...); returns path.
QString createSqliteTrklinik(const QString &path, const QStringList &rows);

// An SQL text literal.
QString sqlText(const QString &value);

} // namespace testenv
