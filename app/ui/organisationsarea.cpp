#include "app/ui/organisationsarea.h"

#include "app/ui/widgetnames.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace app::ui {

OrganisationsArea::OrganisationsArea(QWidget *parent)
    : GroupBox11(named<QGroupBox>("GroupBox11", parent))
    , ListBox1(named<QListWidget>("ListBox1", GroupBox11))
    , newbutton(named<QPushButton>("newbutton", GroupBox11))
    , editbutton(named<QPushButton>("editbutton", GroupBox11))
    , Button1(named<QPushButton>("Button1", GroupBox11))
{
    GroupBox11->setTitle(QStringLiteral("Befintliga organisationer (minst en måste finnas)"));
    newbutton->setText(QStringLiteral("Lägg till..."));
    editbutton->setText(QStringLiteral("Redigera..."));
    Button1->setText(QStringLiteral("Radera"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(newbutton);
    buttons->addWidget(editbutton);
    buttons->addWidget(Button1);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(GroupBox11);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons);
}

} // namespace app::ui
