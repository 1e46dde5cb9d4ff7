#pragma once
// unixODBC pointed at files in the private root: ODBCSYSINI names a folder there whose
// odbcinst.ini starts as a copy of the system's driver list and whose odbc.ini holds the
// test's data sources; ODBCINI names an empty user file there. Build it before the first
// ODBC call of the process; the destructor restores both variables.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace testenv {

class OdbcEnvironment
{
public:
    OdbcEnvironment();
    ~OdbcEnvironment();
    OdbcEnvironment(const OdbcEnvironment &) = delete;
    OdbcEnvironment &operator=(const OdbcEnvironment &) = delete;

    QString folder() const { return m_folder; }

    // Whether the driver list names the driver and its library can be found.
    bool hasDriver(const QString &name) const;

    // Replaces the driver list with these drivers (name, library).
    void setDrivers(const QList<QPair<QString, QString>> &drivers);

    // Adds a system data source: a section of odbc.ini with Driver= and the attributes.
    void addDataSource(const QString &name, const QString &driver, const QList<QPair<QString, QString>> &attributes);

private:
    QString m_folder;
    QByteArray m_oldSysIni;
    QByteArray m_oldIni;
    bool m_hadSysIni = false;
    bool m_hadIni = false;
};

} // namespace testenv
