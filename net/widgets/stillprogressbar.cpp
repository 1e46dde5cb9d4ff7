#include "net/widgets/stillprogressbar.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>

namespace net {

void StillProgressBar::paintEvent(QPaintEvent *event)
{
    if (maximum() != minimum()) {
        QProgressBar::paintEvent(event);
        return;
    }
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    // An empty range of one step: nothing done, nothing moving.
    option.minimum = 0;
    option.maximum = 1;
    option.progress = 0;
    QStylePainter painter(this);
    painter.drawControl(QStyle::CE_ProgressBar, option);
}

} // namespace net
