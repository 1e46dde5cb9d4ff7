#pragma once
// The embedded default of a trial run: a sample practice database (SQLite, table
// "TRKLINIK" with the organisation numbers in "ORGNR") below TELLVARA_ROOT and a data-link
// file for it in the data-link folder, so that a user without root rights sees the
// program work. Created only when asked, never by InitPaths.
#include <QString>
#include <QStringList>

namespace suite {

inline constexpr char16_t TrialDataLinkName[] = u"Exempelpraktik.udl";

struct TrialDefaults
{
    QString dataLinkFile; // in DataLinkFolder()
    QString databaseFile; // $TELLVARA_ROOT/var/lib/tellvara/sample/exempelpraktik.sqlite
};

// The organisation numbers the sample database holds.
QStringList TrialOrganisationNumbers();

// Creates whichever of the two files is missing; existing files are left as they are.
// Throws Error when a folder or file cannot be made.
TrialDefaults EnsureTrialDefaults();

} // namespace suite
