#pragma once
// A window of the suite counts as activated when it takes the focus from another window
// of this program, or for the first time. Coming back from another program does not
// count, and neither does the return from what the window showed over itself: a popup (a
// combo box's list, a menu, a tooltip), a message box or a dialog whose owner it is. The
// return is recognised however late the window manager hands the focus back.
#include <functional>

class QWidget;

namespace components {

// Calls onActivate on every such activation of window, as long as window lives.
void watchActivation(QWidget *window, const std::function<void()> &onActivate);

} // namespace components
