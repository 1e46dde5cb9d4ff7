#pragma once
// Translation of fixed user texts through a self-filling language file (ANSI code page,
// lines "source;translation" ending CR LF). Off unless a host switches it on.
#include <QString>

namespace suite {

extern bool LanguageFileActive;
extern QString LanguageFileName;

QString TranslateText(const QString &text);
bool LoadLanguageFile(const QString &path);
void AddMissingText(const QString &text);

} // namespace suite
