#include "datalink/core/data_link_editor.h"

namespace datalink {

DataLinkEditor::DataLinkEditor(const QString &path)
    : m_document(loadDataLink(path))
{
}

QString DataLinkEditor::connectionStringForTest(const DataLinkFields &fields) const
{
    return withFields(m_document.connection, fields, PasswordUse::ForConnecting).toString();
}

QString DataLinkEditor::connectionStringForSaving(const DataLinkFields &fields) const
{
    return withFields(m_document.connection, fields, PasswordUse::ForSaving).toString();
}

void DataLinkEditor::save(const DataLinkFields &fields)
{
    const platform::ConnectionString saved = withFields(m_document.connection, fields, PasswordUse::ForSaving);
    saveDataLink(m_document, saved);
    m_document.connection = saved;
    m_document.isNew = false;
    m_document.exists = true;
}

} // namespace datalink
