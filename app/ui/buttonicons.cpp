#include "app/ui/buttonicons.h"

#include <QAbstractButton>
#include <QApplication>

namespace app::ui {

QIcon themedIcon(const QString &themeName, QStyle::StandardPixmap fallback)
{
    if (QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    return QApplication::style()->standardIcon(fallback);
}

void setButtonIcon(QAbstractButton *button, const QString &themeName, QStyle::StandardPixmap fallback)
{
    button->setIcon(themedIcon(themeName, fallback));
}

} // namespace app::ui
