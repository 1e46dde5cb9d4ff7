#pragma once
// A progress bar whose maximum may be 0 (a transfer of unknown length) without turning
// into the toolkit's moving busy indicator: it then shows an empty bar that stands still.
#include <QProgressBar>

namespace net {

class StillProgressBar : public QProgressBar
{
    Q_OBJECT
public:
    using QProgressBar::QProgressBar;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace net
