#include "platform/shell_open.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {
namespace {

bool isDataLinkFile(const QString &file)
{
    return file.endsWith(QLatin1String(".udl"), Qt::CaseInsensitive);
}

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

QString dataLinkEditor()
{
    const QString chosen = qEnvironmentVariable(DataLinkEditorVariable);
    if (!chosen.isEmpty())
        return chosen.contains(u'/') ? chosen : QStandardPaths::findExecutable(chosen);
    const QString beside = QCoreApplication::applicationDirPath() + u'/' + QLatin1String(DataLinkEditorName);
    if (QCoreApplication::instance() && isExecutableFile(beside))
        return beside;
    return QStandardPaths::findExecutable(QLatin1String(DataLinkEditorName));
}

} // namespace

QString shellOpenProgram(const QString &file)
{
    if (isDataLinkFile(file))
        return dataLinkEditor();
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

bool shellOpen(const QString &file, const QString &workingDirectory)
{
    const QString program = shellOpenProgram(file);
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, {file}, workingDirectory);
}

} // namespace platform
