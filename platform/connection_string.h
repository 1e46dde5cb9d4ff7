#pragma once
// OLE DB initialisation strings ("Provider=SQLite;Data Source=/srv/x.db"): name=value
// pairs separated by ";". A value may be quoted with " or ' and then hold ";" (a doubled
// quote inside stands for one); names compare without regard to letter case; blanks
// around names and values are trimmed; "==" in a name stands for "=". The order of the pairs is kept, so a string that
// is parsed, changed and written again keeps whatever it held that this program does not
// understand.
#include <QList>
#include <QString>

namespace platform {

struct ConnectionProperty
{
    QString name;   // as written
    QString value;  // unquoted
};

class ConnectionString
{
public:
    ConnectionString() = default;

    // Throws Error on an unterminated quote or a pair without "=".
    static ConnectionString parse(const QString &text);

    bool contains(const QString &name) const;
    // "" when absent; of a name given twice the first counts.
    QString value(const QString &name) const;
    // Replaces the value in place (dropping later pairs of the same name), or appends
    // the pair.
    void setValue(const QString &name, const QString &value);
    void remove(const QString &name);
    const QList<ConnectionProperty> &properties() const { return m_properties; }

    // The pairs joined with ";", each value quoted when it needs it.
    QString toString() const;

private:
    QList<ConnectionProperty> m_properties;
};

} // namespace platform
