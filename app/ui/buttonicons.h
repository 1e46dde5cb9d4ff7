#pragma once
// Pictures for the buttons: the desktop's icon theme where it has the icon, else Qt's own.
#include <QIcon>
#include <QStyle>

class QAbstractButton;

namespace app::ui {

QIcon themedIcon(const QString &themeName, QStyle::StandardPixmap fallback);
void setButtonIcon(QAbstractButton *button, const QString &themeName, QStyle::StandardPixmap fallback);

} // namespace app::ui
