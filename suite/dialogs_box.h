#pragma once
// Private to the suite library: every box of the suite goes through here, so that each
// one is preceded by exactly one progress-window notification.
#include "platform/messagebox.h"

namespace suite::detail {

// DeactivateProgressApp, then the box; returns the box's result code.
int showBox(const platform::MessageBox &box);

} // namespace suite::detail
