#pragma once
// A new version of a file, written beside it and put in its place in one step: at every
// moment the file's name holds the complete old file or the complete new one.
//
// The new file lives in the target's folder (the folder of the file a symbolic link at the
// target points to: the link is kept) and has no name while it is written, so a crash
// leaves nothing behind. Only when it is whole is it named, and at once renamed over the
// target. Where the file system cannot make a file without a name, it is written under a
// name of its own that carries the writer's process id: ".<target's name>.new-<id>-<n>".
// Such names, and the one a crash between naming and renaming leaves, are removed by the
// next replacement of the same target once their writer is gone.
#include <QFile>
#include <QString>

#include <memory>

namespace platform {

class FileReplacement
{
public:
    // Opens the new, empty file (mode 0600 until it is committed). Removes the leftovers
    // of earlier replacements of the target first. Throws Error with the system's reason
    // when the folder takes no new file (it is not writable, for one).
    explicit FileReplacement(const QString &target);
    // A new file not committed vanishes.
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    // The new file, open for reading and writing; its fileName() is the target's.
    QFile &file();

    // Flushes the new file to the disk, gives it the permission bits of the file it
    // replaces (0666 less the umask for a new one), renames it over the target and flushes
    // the folder. Throws Error with the system's reason; the target is then untouched and
    // the new file still open.
    void commit();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// From now on in this process, replacements take the named path, as on a file system that
// cannot make a file without a name; for the tests of that path.
void pretendNoUnnamedFiles(bool on);

} // namespace platform
