#pragma once
// Pictures of the main window for the documentation: locked and unlocked, rendered
// without a display (the offscreen platform) from the store under TELLVARA_ROOT.
#include <QStringList>

namespace app::ui {

// Writes folder/main-locked.png and folder/main-unlocked.png; throws platform::Error when
// the folder or a file cannot be written.
void writeMainWindowScreenshots(const QStringList &arguments, const QString &folder);

} // namespace app::ui
