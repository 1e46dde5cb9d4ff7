#pragma once
// Controls carry the names the program's description gives them (objectName), so that
// tests and style sheets find them.
#include <QString>

#include <utility>

class QWidget;

namespace app::ui {

template <typename Widget, typename... Args>
Widget *named(const char *name, QWidget *parent, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace app::ui
