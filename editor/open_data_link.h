#pragma once
// "Öppna" of the organisation editor without its window: which data-link file the typed
// text names, and opening the practice database through it. vardoctl db query opens a
// data link the same way.
#include <QString>

#include <functional>

namespace platform {
class DatabaseConnection;
}

namespace editor {

struct DataLinkChoice
{
    QString file;               // becomes DefaultDataProviderFile
    bool chosenInDialog = false; // the data providers dialog was shown: list the links again
};

// First match wins: a file of that name (absolute, or relative to the current folder),
// then DataLinkPath + the text; otherwise the data providers dialog is asked
// (selectDataProvider returns a name without folder) and its answer is joined to
// DataLinkPath.
DataLinkChoice ResolveDataLinkFile(const QString &typed, const std::function<QString()> &selectDataProvider);

// The data-link file a typed text names, without the data providers dialog, for the
// command line. Throws platform::Error when it names none.
QString ExistingDataLinkFile(const QString &typed);

// The data link "Spara" stores for the text the data-link box shows: the file it names,
// found as "Öppna" finds it but without asking, as an absolute path; the text as it
// stands when it names no file (a slot's own link that has gone). An empty box stores the
// installation's configured default data link when that file exists, else nothing. Never
// the data link opened last elsewhere in the program.
QString DataLinkToStore(const QString &shown);

// Makes the file the data link in use, forms its connection string ("Provider=" and the
// file's oledb/Provider value; the file is not tested first) and opens the database with
// it, closing what was open. Throws platform::Error when the database cannot be opened;
// the two values stay replaced.
void OpenDataLink(const QString &file, platform::DatabaseConnection &database);

} // namespace editor
