#include "app/ui/lockedpanel.h"

#include "app/ui/buttonicons.h"
#include "components/widgetnames.h"
#include "components/tdrawpanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

namespace app::ui {

using components::named;
namespace {

// The password field shows every character as "*", whatever the style's own choice.
class AsteriskPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QLayout *passwordRow(LockedPanel &panel)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(panel.Label2);
    row->addWidget(panel.edLosen);
    row->addWidget(panel.BitBtn1);
    row->addStretch();
    return row;
}

} // namespace

LockedPanel::LockedPanel(QWidget *parent)
    : DrawPanel1(named<components::TDrawPanel>("DrawPanel1", parent))
    , Label1(named<QLabel>("Label1", DrawPanel1))
    , Label2(named<QLabel>("Label2", DrawPanel1))
    , edLosen(named<QLineEdit>("edLosen", DrawPanel1))
    , BitBtn1(named<QPushButton>("BitBtn1", DrawPanel1))
{
    DrawPanel1->setGradientColorStart(8421631);
    DrawPanel1->setGradientColorEnd(8454143);
    DrawPanel1->setGradientDirection(components::TDrawPanel::gdHorizontal);

    Label1->setText(QStringLiteral("Inställningarna nås genom att först låsa upp Admin-programmet"));
    Label1->setWordWrap(true);
    Label2->setText(QStringLiteral("Lösen:"));
    edLosen->setEchoMode(QLineEdit::Password);
    auto *style = new AsteriskPasswordStyle;
    style->setParent(edLosen);
    edLosen->setStyle(style);
    Label2->setBuddy(edLosen);
    BitBtn1->setText(QStringLiteral("Lås upp"));
    setButtonIcon(BitBtn1, QStringLiteral("changes-allow"), QStyle::SP_DialogOkButton);

    auto *layout = new QVBoxLayout(DrawPanel1);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(Label1);
    layout->addStretch();
    layout->addLayout(passwordRow(*this));
    layout->addStretch();
}

} // namespace app::ui
