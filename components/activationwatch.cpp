#include "components/activationwatch.h"

#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <memory>

namespace components {
namespace {

bool isPopup(const QWindow *window)
{
    const Qt::WindowType type = window->type();
    return type == Qt::Popup || type == Qt::ToolTip;
}

} // namespace

void watchActivation(QWidget *window, const std::function<void()> &onActivate)
{
    auto lastFocus = std::make_shared<QPointer<QWindow>>();
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, window, [window, onActivate, lastFocus](QWindow *focus) {
        if (!focus || isPopup(focus))
            return;
        const bool activated = focus == window->windowHandle() && focus != *lastFocus;
        *lastFocus = focus;
        if (activated)
            onActivate();
    });
}

} // namespace components
