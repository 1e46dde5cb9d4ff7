#pragma once
// Shared libraries bound at run time, and where the RAS provider library is found.
//
// Rules: a library is loaded from an absolute path only, never through the loader's search
// path, so nothing but the project's own file can stand in for it. The RAS provider is
// looked for beside the running program first (the build tree puts every program and the
// library in one bin folder), then in the installed library folder
// (<libdir>/tellvara). The second RAS library has no file of its own in this project; it
// exists so a stand-in can be placed there.
#include <QString>
#include <QStringList>

namespace platform {

using LibraryHandle = void *;

// nullptr when the file cannot be loaded.
LibraryHandle openLibrary(const QString &path);
// nullptr when the library exports no such name.
void *librarySymbol(LibraryHandle library, const char *name);
void closeLibrary(LibraryHandle library);

enum class RasLibraryFile { Main, Fallback };

// The file name of each RAS library ("libtellvara-rasapi.so", "libtellvara-rnaph.so").
QString rasLibraryFileName(RasLibraryFile file);

// The paths tried, in order.
QStringList rasLibraryCandidates(RasLibraryFile file);

// The first candidate that loads; nullptr when none does.
LibraryHandle openRasLibrary(RasLibraryFile file);

} // namespace platform
