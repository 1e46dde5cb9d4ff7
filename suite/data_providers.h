#pragma once
// The data providers dialog without its widgets: the rows (the data-link files of the
// data-link folder), the selected row, the default row and what each button does. The
// window (suite/widgets/tfrmdataproviders.h) only forwards its events here.
//
// The default data provider is the per-installation setting DataProvider/<IniTextPosision>;
// the dialog stores a bare file name there, and a full path found there is compared by
// its file-name part.
#include "platform/text_prompt.h"

#include <QString>
#include <QStringList>

namespace suite {

inline constexpr char DataProviderSection[] = "DataProvider";

class DataProviders
{
public:
    explicit DataProviders(const QString &iniTextPosision = QString());

    // The registry value name under which the default is kept.
    QString IniTextPosision;

    const QStringList &rows() const { return m_rows; }
    // -1 when no row is selected.
    int selectedRow() const { return m_selected; }
    void setSelectedRow(int row);
    QString selectedName() const;

    // The file-name part of the default setting, read afresh.
    QString defaultName() const;
    bool isDefaultRow(int row) const;

    // Rebuilds the rows from the folder and selects the row equal to the name, without
    // regard to case; no row when none is.
    void RefreshList(const QString &nameToSelect);

    // The row check of OK, "Välj som standard", "Redigera..." and "Radera": true when a
    // row is selected, else shows "Välj en DataProvider först!" and gives false (the
    // window then puts the focus on the list).
    bool checkRowSelected() const;

    // OK: empties the default connection string (the caller forms a new one).
    void confirm();
    // "Välj som standard": the selected row becomes the default.
    void chooseAsDefault();
    // "Redigera..." and a double click: the selected file in the data-link editor.
    void editSelected();
    // "Radera": asks, then deletes the selected file and rebuilds the rows, none selected.
    void deleteSelected();

    // The prompt of "Lägg till...".
    static platform::TextPrompt newDataLinkPrompt();
    // "Lägg till..." once a name was given: the file name + ".udl" in the data-link folder,
    // created empty unless a file of that name exists (which is opened as it is, never
    // wiped), opened in the data-link editor and selected. A name that would leave the
    // folder is refused with a message; a file that cannot be created is reported.
    void addDataLink(const QString &name);

private:
    QString pathOf(const QString &name) const;

    QStringList m_rows;
    int m_selected = -1;
};

// The most bytes a data link's name takes in the file system's encoding (UTF-8): with
// ".udl" it is a file name of at most 255 bytes, the longest Linux file systems keep.
inline constexpr qsizetype DataLinkNameMaxBytes = 251;

// True when name + ".udl" is a file name that can be saved in the data-link folder:
// DataLinkNameFits, no "/", no NUL, not "." or "..".
bool IsValidDataLinkName(const QString &name);

// True when the name takes at most DataLinkNameMaxBytes.
bool DataLinkNameFits(const QString &name);

} // namespace suite
