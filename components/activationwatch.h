#pragma once
// A window of the suite counts as activated when it takes the focus from another window
// of this program (a dialog it showed, say), or for the first time. Coming back from
// another program does not count, and neither does the close of a popup that belongs to
// the window itself (a combo box's list, a menu, a tooltip).
#include <functional>

class QWidget;

namespace components {

// Calls onActivate on every such activation of window, as long as window lives.
void watchActivation(QWidget *window, const std::function<void()> &onActivate);

} // namespace components
