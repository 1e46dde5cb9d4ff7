#include "app/ui/screenshots.h"

#include "app/ui/tmainvardoadmin.h"
#include "platform/error.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace app::ui {
namespace {

void save(TMainVardoAdmin &window, const QString &file)
{
    QApplication::processEvents();
    if (!window.grab().save(file, "PNG"))
        throw platform::Error(QStringLiteral("Cannot write ") + file);
}

} // namespace

void writeMainWindowScreenshots(const QStringList &arguments, const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw platform::Error(QStringLiteral("Cannot create ") + folder);
    const QDir dir(folder);
    TMainVardoAdmin window(arguments);
    window.show();
    save(window, dir.filePath(QStringLiteral("main-locked.png")));
    window.locked().edLosen->setText(QStringLiteral("maltebon"));
    window.locked().BitBtn1->click();
    save(window, dir.filePath(QStringLiteral("main-unlocked.png")));
}

} // namespace app::ui
