#pragma once
// Controls carry the names the program's description gives them (objectName), so that
// tests and style sheets find them; and the suite's windows share one font.
#include <QFont>
#include <QString>

#include <utility>

class QWidget;

namespace components {

template <typename Widget, typename... Args>
Widget *named(const char *name, QWidget *parent, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Tahoma where the desktop has it, else a narrow face of about its width, so that the
// texts fit the windows' fixed layouts.
inline QFont suiteWindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed")});
    font.setPixelSize(11);
    return font;
}

} // namespace components
