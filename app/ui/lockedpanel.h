#pragma once
// The locked panel in front of everything until the right password is given.
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace components {
class TDrawPanel;
}

namespace app::ui {

struct LockedPanel
{
    explicit LockedPanel(QWidget *parent);

    components::TDrawPanel *DrawPanel1;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *edLosen;
    QPushButton *BitBtn1;
};

} // namespace app::ui
