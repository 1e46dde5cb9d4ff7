#pragma once
// What the program sets up at start, before and while the main window is created.
#include <QString>

namespace app {

// The caption of the application's error box.
inline const QString ApplicationTitle = QStringLiteral("Tellvara AB Vardo-ServiceAdmin");
inline const QString MainWindowCaption = QStringLiteral("Tellvara AB Vardo-Tjänst Adminprogram   version: 2.00.3");

// The HTTP unit shows messages, asks and translates through the suite's dialogs.
void installNetHooks();

} // namespace app
