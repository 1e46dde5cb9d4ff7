#pragma once
// The editor of one data-link file without its window: the file's fields, the connection
// string they make for a test, and the save. vardo-datalink's window and
// `vardoctl datalink new` both go through it.
#include "datalink/core/data_link_document.h"
#include "datalink/core/data_link_fields.h"

namespace datalink {

class DataLinkEditor
{
public:
    // Reads the file (a missing or empty one is a new data link); throws platform::Error.
    explicit DataLinkEditor(const QString &path);

    const QString &path() const { return m_document.path; }
    bool isNew() const { return m_document.isNew; }
    DataLinkFields fields() const { return fieldsOf(m_document.connection); }

    // With the password, for "Testa anslutningen".
    QString connectionStringForTest(const DataLinkFields &fields) const;
    // As the file will hold it: the password only when it is to be kept.
    QString connectionStringForSaving(const DataLinkFields &fields) const;

    // Writes the file; throws platform::Error and leaves the old file when it cannot.
    void save(const DataLinkFields &fields);

private:
    DataLinkDocument m_document;
};

} // namespace datalink
