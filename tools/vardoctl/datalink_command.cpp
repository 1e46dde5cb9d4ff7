// vardoctl datalink: the data links of the data-link folder with the data providers
// dialog's rules (the same rows, the same default) and new data links written by the
// data-link editor's own code.
#include "answer.h"
#include "command.h"

#include "datalink/core/data_link_editor.h"
#include "platform/error.h"
#include "platform/password_mask.h"
#include "suite/data_providers.h"
#include "suite/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <optional>

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral(
    "vardoctl datalink list\n"
    "vardoctl datalink default NAME\n"
    "vardoctl datalink new NAME --provider sqlite|odbc|sqlserver|postgresql [--data-source TEXT]\n"
    "                          [--database TEXT] [--user TEXT] [--dsn TEXT] [--driver TEXT]\n"
    "vardoctl datalink show FILE\n"
    "  list: the data links as the data providers dialog lists them, \"*\" before the default\n"
    "  default: NAME (a listed file name) becomes the default data provider\n"
    "  new: writes NAME.udl in the data-link folder; an existing data link is never replaced.\n"
    "       --data-source is the SQLite file, the server (odbc, sqlserver) or host[:port]\n"
    "  show: the connection string of a data-link file (or a name in the data-link folder),\n"
    "       passwords masked");

const QString DefaultValueName = QStringLiteral("DefaultDataProvider");

suite::DataProviders dataProviders()
{
    suite::InitPaths({QCoreApplication::applicationFilePath()});
    return suite::DataProviders(DefaultValueName);
}

int list()
{
    suite::DataProviders providers = dataProviders();
    providers.RefreshList(QString());
    QJsonArray rows;
    for (int row = 0; row < providers.rows().size(); ++row)
        rows.append(QJsonObject{{QStringLiteral("name"), providers.rows().at(row)},
                                {QStringLiteral("default"), providers.isDefaultRow(row)}});
    printAnswer(rows, [&] {
        QString text;
        for (const QJsonValue &row : rows)
            text += (row[u"default"].toBool() ? QStringLiteral("* ") : QStringLiteral("  ")) + row[u"name"].toString() + u'\n';
        return text;
    });
    return ExitOk;
}

int setDefault(const QString &name)
{
    suite::DataProviders providers = dataProviders();
    providers.RefreshList(name);
    if (providers.selectedRow() < 0)
        throw platform::Error(QStringLiteral("No data link %1 in %2").arg(name, suite::DataLinkPath()));
    providers.chooseAsDefault();
    return jsonOutput() ? list() : ExitOk;
}

// The option's field, or nothing for an option "new" does not know.
QString datalink::DataLinkFields::*fieldOfOption(const QString &option)
{
    using F = datalink::DataLinkFields;
    if (option == QLatin1String("--data-source"))
        return &F::dataSource;
    if (option == QLatin1String("--database"))
        return &F::database;
    if (option == QLatin1String("--user"))
        return &F::user;
    if (option == QLatin1String("--dsn"))
        return &F::dsn;
    if (option == QLatin1String("--driver"))
        return &F::driver;
    return nullptr;
}

std::optional<datalink::DataLinkFields> parseFields(const QStringList &args)
{
    datalink::DataLinkFields fields;
    bool kindGiven = false;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--provider")) {
            const std::optional<datalink::ProviderKind> kind = datalink::providerKindNamed(args.at(i + 1));
            if (!kind)
                return std::nullopt;
            fields.kind = *kind;
            kindGiven = true;
        } else if (QString datalink::DataLinkFields::*field = fieldOfOption(args.at(i))) {
            fields.*field = args.at(i + 1);
        } else {
            return std::nullopt;
        }
    }
    if (!kindGiven || args.size() % 2 != 0)
        return std::nullopt;
    return fields;
}

// An option the kind has no keyword for would be dropped silently.
bool fitsKind(const datalink::DataLinkFields &f)
{
    return (f.database.isEmpty() || datalink::usesDatabase(f.kind)) && (f.dsn.isEmpty() || datalink::usesDsn(f.kind))
        && (f.driver.isEmpty() || datalink::usesDriver(f.kind)) && (f.user.isEmpty() || datalink::usesCredentials(f.kind))
        && (f.dataSource.isEmpty() || f.kind != datalink::ProviderKind::Odbc || !f.driver.isEmpty());
}

int create(const QString &name, const QStringList &options)
{
    const std::optional<datalink::DataLinkFields> fields = parseFields(options);
    if (!fields || !fitsKind(*fields))
        return usageError(Usage);
    dataProviders();
    if (!suite::DataLinkNameFits(name))
        throw platform::Error(QStringLiteral("A data link's name takes at most %1 bytes in UTF-8 (so that NAME.udl is "
                                             "a file name Linux keeps): %2")
                                  .arg(suite::DataLinkNameMaxBytes)
                                  .arg(name));
    if (!suite::IsValidDataLinkName(name))
        throw platform::Error(QStringLiteral("A data link's name must not hold \"/\" nor be \".\" or \"..\": ") + name);
    const QString path = suite::DataLinkPath() + name + QStringLiteral(".udl");
    if (QFileInfo::exists(path))
        throw platform::Error(QStringLiteral("The data link %1 exists already; edit it with vardo-datalink.").arg(path));
    if (!QDir().mkpath(suite::DataLinkPath()))
        throw platform::Error(QStringLiteral("Cannot create the folder %1").arg(suite::DataLinkPath()));
    datalink::DataLinkEditor editor(path);
    editor.save(*fields);
    printAnswer(QJsonObject{{QStringLiteral("path"), path}}, [&] { return path + u'\n'; });
    return ExitOk;
}

int show(const QString &file)
{
    QString path = file;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink() && !file.contains(u'/')) {
        dataProviders();
        path = suite::DataLinkPath() + file;
    }
    const datalink::DataLinkDocument document = datalink::loadDataLink(path);
    if (!document.exists)
        throw platform::Error(QStringLiteral("No data-link file %1").arg(file));
    const QString connection = document.isNew ? QString() : platform::maskPasswords(document.connection.toString());
    printAnswer(QJsonObject{{QStringLiteral("connectionString"), connection}},
                [&] { return document.isNew ? QString() : connection + u'\n'; });
    return ExitOk;
}

int runDataLink(const QStringList &args)
{
    const QString verb = args.value(0);
    if (verb == QLatin1String("list") && args.size() == 1)
        return list();
    if (verb == QLatin1String("default") && args.size() == 2)
        return setDefault(args.at(1));
    if (verb == QLatin1String("new") && args.size() >= 4)
        return create(args.at(1), args.mid(2));
    if (verb == QLatin1String("show") && args.size() == 2)
        return show(args.at(1));
    return usageError(Usage);
}

const CommandRegistration registration{{
    QStringLiteral("datalink"),
    Usage,
    runDataLink,
}};

} // namespace
} // namespace vardoctl
