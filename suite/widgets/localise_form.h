#pragma once
// LocaliseForm: a window's preparation right after its controls are made. It adapts the
// window to the active visual style (a custom style gets 10 pixels more than the width
// its layout leaves it), gives date and time pickers the suite's formats ("yyyy-MM-dd",
// "HH:mm"), and, while a language file is active, translates the window's texts through
// TranslateText.
//
// The toolkit's kinds map onto Qt's: menu items are QActions; a radio group is a
// QGroupBox holding an exclusive QButtonGroup (its items are the group's buttons); panels
// are widgets with a "Caption" property; a hint is a tooltip; an edit's text hint is a
// QLineEdit's placeholder; a page control is a QTabWidget. A "Tag" property of 666 keeps
// a list's entries untranslated; a control named "fontname" is left alone. Raises nothing.
class QWidget;

namespace suite {

// The value of the "Tag" property that keeps a list's entries untranslated.
inline constexpr int KeepEntriesTag = 666;

void LocaliseForm(QWidget *form);

} // namespace suite
