#pragma once
// Creating folders and files below a folder the caller trusts, for writing names that
// come from untrusted data (an archive's entries).
//
// The root itself may be reached through symbolic links: the caller chose it. Below it,
// no link is followed, so a link planted in the tree (say "docs -> /etc") is refused
// rather than written through, and a file is created or emptied without following a link
// either: an existing link at its name is replaced by a new, regular file. Each folder
// name must be a single name (no "/", not "." or ".."); the caller has checked that.
//
// The tree keeps the folder it is in open, so the many files of one folder cost one open
// each; a new folder is reached in one resolution below the root, and folders are made
// only when they are missing.
#include <QIODevice>
#include <QString>
#include <QStringList>

namespace platform {

// A file the tree opened for writing: bytes go straight to its descriptor, without the
// status and position calls a QFile makes when it adopts one (per file, those add up when
// thousands of small files are written).
class ConfinedFile : public QIODevice
{
public:
    ConfinedFile() = default;
    ~ConfinedFile() override;
    ConfinedFile(const ConfinedFile &) = delete;
    ConfinedFile &operator=(const ConfinedFile &) = delete;

    bool isSequential() const override { return true; }
    // Closes the descriptor; false, with the reason in errorString(), when the system
    // reports that the written bytes could not be kept.
    [[nodiscard]] bool finish();
    void close() override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    friend class ConfinedTree;
    void adopt(int fd);

    int m_fd = -1;
};

class ConfinedTree
{
public:
    // Nothing is opened yet: the root may still be made by the caller.
    explicit ConfinedTree(const QString &root);
    ~ConfinedTree();
    ConfinedTree(const ConfinedTree &) = delete;
    ConfinedTree &operator=(const ConfinedTree &) = delete;

    // Makes root/folders... the current folder, creating what is missing when `create`.
    // False, with a text naming the folder in *error, when one cannot be reached or made
    // or is not a real folder.
    [[nodiscard]] bool enter(const QStringList &folders, bool create, QString *error);

    // Whether anything (file, folder, link) of that name is in the current folder; links
    // are not followed.
    bool exists(const QString &name) const;

    // Opens `name` in the current folder for writing, created or emptied. False with
    // *error when it cannot be opened or is not a regular file.
    [[nodiscard]] bool openFile(ConfinedFile &file, const QString &name, QString *error);

private:
    QString describe(qsizetype count) const;
    int walk(const QStringList &folders, bool create, QString *error) const;

    QString m_root;
    int m_rootFd = -1;
    QStringList m_folders;   // the current folder below the root
    int m_folderFd = -1;     // open while it is not the root itself
    bool m_entered = false;
};

} // namespace platform
