#pragma once
// The organisation list group of the unlocked panel. The rules (which rows, which slot a
// new organisation takes, what the editor starts from, how a deletion goes) live in
// app/core/organisation_list; this area shows the rows and forwards the buttons.
#include "app/core/organisation_list.h"

#include <functional>
#include <optional>

class QGroupBox;
class QListWidget;
class QPushButton;
class QWidget;

namespace app::ui {

struct OrganisationsArea
{
    explicit OrganisationsArea(QWidget *parent);

    // Rebuilds ListBox1 from the organisation slots; runs on every activation of the window.
    void FillOrganisationList();
    // "Lägg till...", "Redigera..." and "Radera".
    void newbuttonClick();
    void editbuttonClick();
    void Button1Click();

    // The organisation editor, shown modally for a slot: with the values it starts from,
    // or none for a new organisation (the editor keeps its own start values). True when
    // the user saved.
    std::function<bool(int slot, const std::optional<OrganisationEditorValues> &values)> showEditor;

    QGroupBox *GroupBox11;
    QListWidget *ListBox1;
    QPushButton *newbutton;
    QPushButton *editbutton;
    QPushButton *Button1;

private:
    void openEditor(int slot, const std::optional<OrganisationEditorValues> &values);
    void showList();
    void takeSelection();

    OrganisationList m_list;
};

} // namespace app::ui
