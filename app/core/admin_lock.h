#pragma once
// The password lock in front of the settings.
#include <QString>

namespace app {

// True only for the exact unlock password: letter case significant, no trimming.
bool isUnlockPassword(const QString &typed);

} // namespace app
