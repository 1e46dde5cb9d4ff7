#include "suite/trial_defaults.h"

#include "platform/filesystem.h"
#include "platform/special_folders.h"
#include "suite/data_link_file.h"
#include "platform/error.h"
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

void fillSampleDatabase(QSqlDatabase &db, const QString &path)
{
    if (!db.open())
        fail(path, db.lastError());
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("CREATE TABLE TRKLINIK (ORGNR TEXT NOT NULL)")))
        fail(path, query.lastError());
    query.prepare(QStringLiteral("INSERT INTO TRKLINIK (ORGNR) VALUES (?)"));
    for (const QString &number : TrialOrganisationNumbers()) {
        query.addBindValue(number);
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

// OLE DB quotes a value that holds the pair separator.
QString connectionValue(const QString &value)
{
    if (!value.contains(u';') && !value.startsWith(u'"'))
        return value;
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

QStringList TrialOrganisationNumbers()
{
    return {QStringLiteral("556000-0001"), QStringLiteral("556000-0019"), QStringLiteral("802400-0005")};
}

TrialDefaults EnsureTrialDefaults()
{
    TrialDefaults files;
    files.databaseFile = createdFolder(sampleFolder(), QStringLiteral("sample folder")) + SampleDatabaseName;
    files.dataLinkFile = createdFolder(DataLinkFolder(), QStringLiteral("data-link folder"))
        + QString::fromUtf16(TrialDataLinkName);
    if (!platform::fileExists(files.databaseFile))
        createSampleDatabase(files.databaseFile);
    if (!platform::fileExists(files.dataLinkFile)) {
        WriteDataLinkFile(files.dataLinkFile,
                          QStringLiteral("Provider=SQLite;Data Source=") + connectionValue(files.databaseFile));
    }
    return files;
}

} // namespace suite
