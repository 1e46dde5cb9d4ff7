#pragma once
// Every event handler of the window runs through here: an error that leaves a handler
// ends that handler, is shown in the application's error box, and the program goes on.
#include <functional>

namespace suite {

void runEventHandler(const std::function<void()> &handler);

} // namespace suite
