#pragma once
// The organisation query of the practice database (the editor's ADOQTrklinik): the
// distinct organisation numbers of the table TRKLINIK greater than a single blank, which
// leaves out empty and blank numbers.
#include <QString>
#include <QStringList>

namespace editor {

inline constexpr char16_t TrklinikQueryText[] = u"SELECT DISTINCT ORGNR FROM TRKLINIK\nWHERE ORGNR > ' '";
inline constexpr char16_t OrganisationNumberColumn[] = u"ORGNR";

// Opens the data-link file's database as "Öppna" does (OpenDataLink) and returns the
// organisation numbers in the order the database gives them. Throws platform::Error with
// the driver's message when the database cannot be opened, and with the editor's message
// naming the table (UnopenedTableText) when the query cannot.
QStringList QueryOrganisationNumbers(const QString &dataLinkFile);

} // namespace editor
