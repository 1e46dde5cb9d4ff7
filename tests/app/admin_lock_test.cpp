#include "app/core/admin_lock.h"

#include <gtest/gtest.h>

TEST(AdminLock, OnlyTheExactPasswordUnlocks)
{
    EXPECT_TRUE(app::isUnlockPassword("maltebon"));
    for (const char *typed : {"Maltebon", "MALTEBON", "maltebon ", " maltebon", "", "malte bon", "maltebo"})
        EXPECT_FALSE(app::isUnlockPassword(QString::fromUtf8(typed))) << '"' << typed << '"';
}
