#include "commands.h"

#include "progressbar.h"

#include "platform/error.h"

#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace zlbtool {
namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

ProgressBar &bar()
{
    static ProgressBar progress;
    return progress;
}

// Swallows what an entry holds while `t` checks it.
class NullDevice : public QIODevice
{
public:
    NullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override { return size; }
};

void openExisting(Session &session)
{
    session.archive().OpenArchive(session.options().archive);
}

QString ratio(const archive::TZLBFileRec &rec)
{
    if (rec.osize == 0)
        return QStringLiteral("0%");
    return QString::number(100 - static_cast<qint64>(rec.csize) * 100 / rec.osize) + u'%';
}

// Names of entries that a list left over, reported as failures.
int reportLeftOver(Session &session, const QStringList &left, const QString &what)
{
    for (const QString &name : left)
        session.fail(QStringLiteral("%1: %2").arg(name, what));
    return session.failed() ? ExitFailed : ExitOk;
}

} // namespace

Session::Session(const Options &options)
    : m_options(options)
{
    m_archive.SetCompressionLevel(options.level);
    m_archive.SetRecursePaths(options.recurse);
    m_archive.SetSavePaths(options.keepFolders);
    m_archive.SetExtractWithPath(options.keepFolders);
    m_archive.SetCheckCRC(options.check);
    m_archive.SetThreads(options.threads);
    m_archive.OnProgress = [this](const QString &text, int percent) {
        bar().show(text, percent, m_archive.ArchiveName());
    };
    m_archive.OnErrorLogged = [this](const QString &message) { fail(message); };
}

void Session::fail(const QString &message)
{
    bar().clear();
    std::fprintf(stderr, "zlb: %s\n", message.toLocal8Bit().constData());
    m_failed = true;
}

int listCommand(Session &session)
{
    openExisting(session);
    archive::TZLBArchive &zlb = session.archive();
    out() << QStringLiteral("%1 %2 %3  %4  %5\n").arg("Size", 10).arg("Packed", 10).arg("Ratio", 5).arg("CRC", -8).arg("Name");
    qint64 size = 0;
    qint64 packed = 0;
    for (int i = 0; i < zlb.FileCount(); ++i) {
        const archive::TZLBFileRec rec = zlb.Files(i);
        out() << QStringLiteral("%1 %2 %3  %4  %5\n")
                     .arg(rec.osize, 10)
                     .arg(rec.csize, 10)
                     .arg(ratio(rec), 5)
                     .arg(rec.CRC, 8, 16, QLatin1Char('0'))
                     .arg(archive::fullName(rec));
        size += rec.osize;
        packed += rec.csize;
    }
    out() << QStringLiteral("%1 %2        %3 entries\n").arg(size, 10).arg(packed, 10).arg(zlb.FileCount());
    return ExitOk;
}

int addCommand(Session &session)
{
    if (session.options().names.isEmpty())
        throw UsageError{QStringLiteral("nothing to add")};
    archive::TZLBArchive &zlb = session.archive();
    if (QFileInfo::exists(session.options().archive))
        openExisting(session);
    else
        zlb.CreateArchive(session.options().archive);
    for (const QString &name : session.options().names) {
        if (!QFileInfo::exists(name))
            session.fail(QStringLiteral("%1: no such file or folder").arg(name));
    }
    QStringList list = session.options().names;
    zlb.AddFiles(list);
    return session.failed() ? ExitFailed : ExitOk;
}

int extractCommand(Session &session)
{
    openExisting(session);
    archive::TZLBArchive &zlb = session.archive();
    const QString &destination = session.options().destination;
    if (session.options().names.isEmpty()) {
        zlb.ExtractAll(destination);
        return ExitOk;
    }
    for (const QString &name : session.options().names)
        zlb.ExtractFileByName(destination, name);
    return ExitOk;
}

int testCommand(Session &session)
{
    openExisting(session);
    archive::TZLBArchive &zlb = session.archive();
    zlb.SetCheckCRC(true);
    for (int i = 0; i < zlb.FileCount(); ++i) {
        NullDevice sink;
        const QString name = archive::fullName(zlb.Files(i));
        try {
            zlb.ExtractStreamByIndex(sink, i);
            bar().clear();
            out() << "OK      " << name << "\n";
        } catch (const platform::Error &e) {
            session.fail(name + QLatin1String(": ") + e.message());
        }
    }
    out().flush();
    return session.failed() ? ExitFailed : ExitOk;
}

int updateCommand(Session &session)
{
    if (session.options().names.isEmpty())
        throw UsageError{QStringLiteral("nothing to update")};
    openExisting(session);
    QStringList list = session.options().names;
    session.archive().UpdateFiles(list);
    return reportLeftOver(session, list, QStringLiteral("not in the archive"));
}

int deleteCommand(Session &session)
{
    if (session.options().names.isEmpty())
        throw UsageError{QStringLiteral("nothing to delete")};
    openExisting(session);
    QStringList list = session.options().names;
    session.archive().DeleteFiles(list);
    return reportLeftOver(session, list, QStringLiteral("not in the archive"));
}

int renameCommand(Session &session)
{
    const QStringList &names = session.options().names;
    if (names.size() != 2)
        throw UsageError{QStringLiteral("mv needs the old and the new name")};
    openExisting(session);
    archive::TZLBArchive &zlb = session.archive();
    // Names inside the archive are matched with their folders, as listed.
    zlb.SetSavePaths(true);
    if (zlb.FileInArchive(names.at(0)) < 0)
        return reportLeftOver(session, {names.at(0)}, QStringLiteral("not in the archive"));
    zlb.RenameFileByName(names.at(0), names.at(1));
    return session.failed() ? ExitFailed : ExitOk;
}

} // namespace zlbtool
