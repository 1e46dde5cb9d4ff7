#pragma once
// A captioned group of exclusive radio buttons that shows one chosen item or none, like
// the toolkit's radio group (item index -1 = nothing chosen).
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

namespace app::ui {

class RadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    RadioGroup(const QString &caption, const QStringList &items, QWidget *parent = nullptr);

    int itemIndex() const;
    // -1 (or any index outside the items) clears the choice.
    void setItemIndex(int index);

private:
    QButtonGroup *m_buttons;
};

} // namespace app::ui
