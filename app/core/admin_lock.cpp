#include "app/core/admin_lock.h"

namespace app {

bool isUnlockPassword(const QString &typed)
{
    return typed == QLatin1String("maltebon");
}

} // namespace app
