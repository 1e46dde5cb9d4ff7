#pragma once
// Calls into the host program's slots (net/hooks.h) that also work before the slots are
// filled, as in a program without the main window: texts stay untranslated, questions are
// answered No and messages go to the log.
#include <QString>

namespace net {

QString Translate(const QString &text);
void ShowHookMessage(const QString &text);
int AskHookQuestion(const QString &question);   // 6 = Yes

} // namespace net
