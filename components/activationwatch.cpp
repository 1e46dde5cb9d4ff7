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

// A box or dialog shown over the window: its chain of transient parents leads there.
bool isShownOver(const QWindow *candidate, const QWindow *window)
{
    for (const QWindow *w = candidate->transientParent(); w; w = w->transientParent()) {
        if (w == window)
            return true;
    }
    return false;
}

struct FocusHistory
{
    QPointer<QWindow> last;
    bool lastWasShownOver = false; // decided while it lived: it is gone when the focus comes back
};

} // namespace

void watchActivation(QWidget *window, const std::function<void()> &onActivate)
{
    auto history = std::make_shared<FocusHistory>();
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, window, [window, onActivate, history](QWindow *focus) {
        if (!focus || isPopup(focus))
            return;
        const QWindow *own = window->windowHandle();
        const bool activated = focus == own && focus != history->last && !history->lastWasShownOver;
        history->last = focus;
        history->lastWasShownOver = own && isShownOver(focus, own);
        if (activated)
            onActivate();
    });
}

} // namespace components
