#pragma once
// The hourglass during a blocking exchange. The network library draws nothing itself:
// a program with windows installs CursorHook (the transfer window does), a program
// without windows leaves it empty and nothing happens.
#include <functional>

namespace net {

// Called with true to show the busy cursor and with false to restore the default one.
extern std::function<void(bool busy)> CursorHook;

// Shows the busy cursor for its lifetime, so every way out restores the default one.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace net
