#pragma once
// The organisation list group of the unlocked panel. Its behaviour comes with the
// organisation list; until then the handlers are the seams it fills.
class QGroupBox;
class QListWidget;
class QPushButton;
class QWidget;

namespace app::ui {

struct OrganisationsArea
{
    explicit OrganisationsArea(QWidget *parent);

    // Rebuilds ListBox1 from the organisation slots; runs on every activation of the window.
    void FillOrganisationList() {}
    // "Lägg till...", "Redigera..." and "Radera": open the organisation editor or delete.
    void newbuttonClick() {}
    void editbuttonClick() {}
    void Button1Click() {}

    QGroupBox *GroupBox11;
    QListWidget *ListBox1;
    QPushButton *newbutton;
    QPushButton *editbutton;
    QPushButton *Button1;
};

} // namespace app::ui
