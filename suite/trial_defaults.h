#pragma once
// The embedded default of a trial run: a sample practice database (SQLite, table
// "TRKLINIK" with the organisation numbers in "ORGNR") below TELLVARA_ROOT and a data-link
// file for it in the data-link folder, so that a user without root rights sees the
// program work; where unixODBC's SQLite3 driver is configured, a second data link reaches
// the same database through ODBC. Created only when asked, never by InitPaths.
#include <QString>
#include <QStringList>

namespace suite {

inline constexpr char16_t TrialDataLinkName[] = u"Exempelpraktik.udl";
inline constexpr char16_t TrialOdbcDataLinkName[] = u"Exempelpraktik (ODBC).udl";
// The name unixODBC's SQLite3 driver (Debian package libsqliteodbc) is configured under.
inline constexpr char16_t TrialOdbcDriver[] = u"SQLite3";

struct TrialDefaults
{
    QString dataLinkFile;     // in DataLinkFolder()
    QString odbcDataLinkFile; // in DataLinkFolder(); "" without the SQLite3 ODBC driver or
                              // where the database's path holds a ";", which it cannot read
    QString databaseFile;     // $TELLVARA_ROOT/var/lib/tellvara/sample/exempelpraktik.sqlite
};

// The ORGNR values of the sample's TRKLINIK rows in their order: clinics of the same
// organisation share a number, and two clinics have an empty or blank one, which the
// organisation query leaves out.
QStringList TrialClinicOrganisationNumbers();

// The distinct organisation numbers the organisation query finds in the sample, sorted.
QStringList TrialOrganisationNumbers();

// Creates whichever of the files is missing; existing files are left as they are.
// Throws Error when a folder or file cannot be made.
TrialDefaults EnsureTrialDefaults();

} // namespace suite
