#include "net/busy_cursor.h"

namespace net {

std::function<void(bool busy)> CursorHook;

BusyCursor::BusyCursor()
{
    if (CursorHook)
        CursorHook(true);
}

BusyCursor::~BusyCursor()
{
    if (CursorHook)
        CursorHook(false);
}

} // namespace net
