#include "suite/trial_defaults.h"

#include "platform/connection_string.h"
#include "platform/error.h"
#include "platform/filesystem.h"
#include "platform/odbc_catalog.h"
#include "platform/special_folders.h"
#include "suite/data_link_file.h"
#include "suite/paths.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace suite {
namespace {

const QString ConnectionName = QStringLiteral("suite-trial-defaults");
const QString SampleFolder = QStringLiteral("var/lib/tellvara/sample/");
const QString SampleDatabaseName = QStringLiteral("exempelpraktik.sqlite");

QString createdFolder(const QString &folder, const QString &what)
{
    if (folder.isEmpty())
        throw platform::Error(QStringLiteral("Cannot name the %1: TELLVARA_ROOT names no existing folder.").arg(what));
    if (!platform::createDirectoryChain(folder))
        throw platform::Error(QStringLiteral("Cannot create the %1 %2").arg(what, folder));
    return folder;
}

QString sampleFolder()
{
    const QString root = platform::systemRoot();
    return root.isEmpty() ? QString() : root + SampleFolder;
}

// One SQLite connection for the time of a function; removed again, whatever happens.
class SqliteFile
{
public:
    explicit SqliteFile(const QString &path)
        : m_db(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), ConnectionName))
    {
        m_db.setDatabaseName(path);
    }
    ~SqliteFile()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(ConnectionName);
    }
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;

    QSqlDatabase &db() { return m_db; }

private:
    QSqlDatabase m_db;
};

void fail(const QString &path, const QSqlError &error)
{
    throw platform::Error(QStringLiteral("Cannot create the sample practice database %1: %2").arg(path, error.text()));
}

struct Clinic
{
    const char16_t *name;
    const char16_t *organisationNumber;
};

const Clinic SampleClinics[] = {
    {u"Vårdcentralen Norrby", u"556000-0001"},
    {u"Barnavårdscentralen Norrby", u"556000-0001"},
    {u"Tandvården Åby", u"556000-0019"},
    {u"Provtagningen (ny, ej registrerad)", u""},
    {u"Jourmottagningen", u" "},
    {u"Hälsocentralen Öster", u"802400-0005"},
    {u"Rehabiliteringen Öster", u"802400-0005"},
};

void fillSampleDatabase(QSqlDatabase &db, const QString &path)
{
    if (!db.open())
        fail(path, db.lastError());
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("CREATE TABLE TRKLINIK (KLINIKNR INTEGER PRIMARY KEY, NAMN TEXT NOT NULL, ORGNR TEXT)")))
        fail(path, query.lastError());
    query.prepare(QStringLiteral("INSERT INTO TRKLINIK (NAMN, ORGNR) VALUES (?, ?)"));
    for (const Clinic &clinic : SampleClinics) {
        query.addBindValue(QString::fromUtf16(clinic.name));
        query.addBindValue(QString::fromUtf16(clinic.organisationNumber));
        if (!query.exec())
            fail(path, query.lastError());
    }
}

// Built beside its final name and renamed, so a half-made database is never taken for one.
void createSampleDatabase(const QString &path)
{
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        SqliteFile file(partial);
        fillSampleDatabase(file.db(), path);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw platform::Error(QStringLiteral("Cannot create the sample practice database %1").arg(path));
    }
}

QString connectionString(const QList<platform::ConnectionProperty> &properties)
{
    platform::ConnectionString connection;
    for (const platform::ConnectionProperty &p : properties)
        connection.setValue(p.name, p.value);
    return connection.toString();
}

void ensureDataLink(const QString &file, const QString &connection)
{
    if (!platform::fileExists(file))
        WriteDataLinkFile(file, connection);
}

// The SQLite3 driver reads its Database value up to the first ";" and knows no quoting.
bool odbcDriverTakes(const QString &databaseFile)
{
    return !databaseFile.contains(u';')
        && platform::odbcDriverNames().contains(QString::fromUtf16(TrialOdbcDriver));
}

} // namespace

QStringList TrialClinicOrganisationNumbers()
{
    QStringList numbers;
    for (const Clinic &clinic : SampleClinics)
        numbers << QString::fromUtf16(clinic.organisationNumber);
    return numbers;
}

QStringList TrialOrganisationNumbers()
{
    QStringList numbers;
    for (const QString &number : TrialClinicOrganisationNumbers()) {
        if (number > QStringLiteral(" ") && !numbers.contains(number))
            numbers << number;
    }
    numbers.sort();
    return numbers;
}

TrialDefaults EnsureTrialDefaults()
{
    TrialDefaults files;
    files.databaseFile = createdFolder(sampleFolder(), QStringLiteral("sample folder")) + SampleDatabaseName;
    const QString linkFolder = createdFolder(DataLinkFolder(), QStringLiteral("data-link folder"));
    files.dataLinkFile = linkFolder + QString::fromUtf16(TrialDataLinkName);
    if (!platform::fileExists(files.databaseFile))
        createSampleDatabase(files.databaseFile);
    ensureDataLink(files.dataLinkFile, connectionString({{QStringLiteral("Provider"), QStringLiteral("SQLite")},
                                                         {QStringLiteral("Data Source"), files.databaseFile}}));
    if (odbcDriverTakes(files.databaseFile)) {
        files.odbcDataLinkFile = linkFolder + QString::fromUtf16(TrialOdbcDataLinkName);
        // NoCreat: the driver would otherwise make an empty database where the file is missing.
        ensureDataLink(files.odbcDataLinkFile,
                       connectionString({{QStringLiteral("Provider"), QStringLiteral("MSDASQL")},
                                         {QStringLiteral("Driver"), QString::fromUtf16(TrialOdbcDriver)},
                                         {QStringLiteral("Database"), files.databaseFile},
                                         {QStringLiteral("NoCreat"), QStringLiteral("1")}}));
    }
    return files;
}

} // namespace suite
