#pragma once
// The suite's message boxes. Every box is preceded by a notification to a running
// progress application (DeactivateProgressApp).
#include <QString>

namespace suite {

inline constexpr int ResultOk = 1;
inline constexpr int ResultCancel = 2;
inline constexpr int ResultYes = 6;
inline constexpr int ResultNo = 7;

void ShowInfo(const QString &text);          // translates its argument
void ShowError(const QString &text);         // callers pass translated pieces
void ShowMessageText(const QString &text);   // rewrites the update-conflict phrase
int AskYesNo(const QString &question);       // 6 = Yes; anything else counts as No
void DeactivateProgressApp();

// The application's standard error box for an error that leaves an event handler,
// captioned with the application title.
void ShowApplicationError(const QString &message);

// The application title: the one set here, else the application name.
void SetApplicationTitle(const QString &title);
QString ApplicationTitle();

} // namespace suite
