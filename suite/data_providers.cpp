#include "suite/data_providers.h"

#include "platform/error.h"
#include "platform/shell_open.h"
#include "suite/data_link_list.h"
#include "suite/dialogs.h"
#include "suite/paths.h"
#include "suite/registry.h"
#include "suite/translate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace suite {
namespace {

const QString DataLinkExtension = QStringLiteral(".udl");

// Creates an empty file; an existing one is left as it is.
void createEmptyFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw platform::Error(file.errorString());
}

} // namespace

bool DataLinkNameFits(const QString &name)
{
    return QFile::encodeName(name).size() <= DataLinkNameMaxBytes;
}

bool IsValidDataLinkName(const QString &name)
{
    return DataLinkNameFits(name) && !name.contains(u'/') && !name.contains(QChar(0)) && name != QLatin1String(".")
        && name != QLatin1String("..");
}

DataProviders::DataProviders(const QString &iniTextPosision)
    : IniTextPosision(iniTextPosision)
{
}

void DataProviders::setSelectedRow(int row)
{
    m_selected = row >= 0 && row < m_rows.size() ? row : -1;
}

QString DataProviders::selectedName() const
{
    return m_selected < 0 ? QString() : m_rows.at(m_selected);
}

QString DataProviders::defaultName() const
{
    return QFileInfo(ReadSuiteSetting(QLatin1String(DataProviderSection), IniTextPosision)).fileName();
}

bool DataProviders::isDefaultRow(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows.at(row).compare(defaultName(), Qt::CaseInsensitive) == 0;
}

void DataProviders::RefreshList(const QString &nameToSelect)
{
    m_rows = ListDataLinkNames();
    m_selected = -1;
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).compare(nameToSelect, Qt::CaseInsensitive) == 0) {
            m_selected = row;
            break;
        }
    }
}

bool DataProviders::checkRowSelected() const
{
    if (m_selected >= 0)
        return true;
    ShowInfo(QStringLiteral("Välj en DataProvider först!"));
    return false;
}

void DataProviders::confirm()
{
    SetDefaultConnectionString(QString());
}

void DataProviders::chooseAsDefault()
{
    WriteSuiteSetting(QLatin1String(DataProviderSection), IniTextPosision, selectedName());
}

void DataProviders::editSelected()
{
    // The shell's failure to open a file is not reported, as everywhere the shell opens one.
    platform::shellOpen(pathOf(selectedName()), DataLinkPath());
}

void DataProviders::deleteSelected()
{
    const QString name = selectedName();
    if (AskYesNo(TranslateText(QStringLiteral("Radera DataProvider-filen")) + u' ' + name) != ResultYes)
        return;
    // A file that stays (no right to delete it) shows again in the rebuilt list.
    QFile::remove(pathOf(name));
    RefreshList(QString());
}

platform::TextPrompt DataProviders::newDataLinkPrompt()
{
    return {TranslateText(QStringLiteral("Ny DataProvider")), TranslateText(QStringLiteral("DataProviderns namn:")),
            QString()};
}

void DataProviders::addDataLink(const QString &name)
{
    if (!DataLinkNameFits(name)) {
        ShowInfo(QStringLiteral("Namnet är för långt: högst %1 byte (å, ä och ö tar två var).").arg(DataLinkNameMaxBytes));
        return;
    }
    if (!IsValidDataLinkName(name)) {
        ShowInfo(QStringLiteral("Namnet får inte innehålla \"/\" och inte vara \".\" eller \"..\"."));
        return;
    }
    const QString fileName = name + DataLinkExtension;
    const QString path = pathOf(fileName);
    try {
        if (!QDir().mkpath(DataLinkPath()))
            throw platform::Error(QStringLiteral("Cannot create the folder %1").arg(DataLinkPath()));
        // An existing data link is opened as it is: an empty file would wipe it.
        if (!QFileInfo::exists(path))
            createEmptyFile(path);
    } catch (const platform::Error &e) {
        ShowError(TranslateText(QStringLiteral("Det gick inte att skapa DataProvider-filen")) + u' ' + path
                  + QStringLiteral("\r\r") + e.message());
        RefreshList(QString());
        return;
    }
    platform::shellOpen(path, DataLinkPath());
    RefreshList(fileName);
}

QString DataProviders::pathOf(const QString &name) const
{
    return DataLinkPath() + name;
}

} // namespace suite
