#pragma once
// A one-line label that never widens its window: a text longer than the label is shown
// elided in the middle, so both ends of a long folder path stay readable; text() keeps the
// whole text.
#include <QLabel>

namespace app::ui {

class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

    // What is painted: the text, elided in the middle to the label's width.
    QString shownText() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace app::ui
