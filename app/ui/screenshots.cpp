#include "app/ui/screenshots.h"

#include "app/core/organisation_list.h"
#include "app/ui/tmainvardoadmin.h"
#include "editor/widgets/tfltklinik.h"
#include "platform/error.h"
#include "platform/filesystem.h"
#include "suite/paths.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace app::ui {
namespace {

void save(QWidget &window, const QString &file)
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

    // "Lägg till..." with the default data link opened, where there is one: without it
    // "Öppna" would ask for a data link, and nobody could answer.
    editor::TFLTKlinik dialog(&window);
    dialog.Edit1->setText(QString::number(app::firstFreeOrganisationSlot()));
    dialog.show();
    QApplication::processEvents(); // its first activation, before "Öppna"
    if (platform::fileExists(suite::DefaultDataProviderFile())) {
        dialog.ComboBox1->setEditText(QFileInfo(suite::DefaultDataProviderFile()).fileName());
        dialog.BitBtn1->click();
    }
    save(dialog, dir.filePath(QStringLiteral("organisation-editor.png")));
}

} // namespace app::ui
