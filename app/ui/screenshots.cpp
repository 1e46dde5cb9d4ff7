#include "app/ui/screenshots.h"

#include "app/ui/tmainvardoadmin.h"
#include "suite/error.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QDebug>
#include <QFontInfo>
#include <QPushButton>

namespace app::ui {
namespace {

void save(TMainVardoAdmin &window, const QString &file)
{
    QApplication::processEvents();
    if (!window.grab().save(file, "PNG"))
        throw suite::Error(QStringLiteral("Cannot write ") + file);
}

} // namespace

void writeMainWindowScreenshots(const QStringList &arguments, const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw suite::Error(QStringLiteral("Cannot create ") + folder);
    const QDir dir(folder);
    TMainVardoAdmin window(arguments);
    window.show();
    QApplication::processEvents();
    qWarning() << QFontInfo(window.font()).family() << window.minimumSizeHint() << window.size();
    for (QWidget *w : window.findChildren<QWidget *>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_")) qWarning() << w->objectName() << w->minimumSizeHint() << w->geometry();
    save(window, dir.filePath(QStringLiteral("main-locked.png")));
    window.locked().edLosen->setText(QStringLiteral("maltebon"));
    window.locked().BitBtn1->click();
    save(window, dir.filePath(QStringLiteral("main-unlocked.png")));
}

} // namespace app::ui
