#pragma once
// The shell's "open" verb on a file. A data-link file (name ending in ".udl", any case)
// opens in the project's own data-link editor, vardo-datalink; any other file goes to the
// desktop's opener, xdg-open. The program is started detached, in its own session, and
// nobody waits for it.
//
// The editor is the program named by TELLVARA_DATALINK_EDITOR when that is set (a trial or
// a test points it elsewhere), else vardo-datalink beside the running program, else
// vardo-datalink on PATH.
#include <QString>

namespace platform {

inline constexpr char DataLinkEditorVariable[] = "TELLVARA_DATALINK_EDITOR";
inline constexpr char DataLinkEditorName[] = "vardo-datalink";

// The program that opens `file`; "" when none can be found.
QString shellOpenProgram(const QString &file);

// Starts that program with the file as its only argument, in workingDirectory. False
// when no program was found or it could not be started.
bool shellOpen(const QString &file, const QString &workingDirectory);

} // namespace platform
