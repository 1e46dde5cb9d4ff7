#pragma once
// A stand-in for the data-link editor: a small script that TELLVARA_DATALINK_EDITOR names,
// which writes its working folder and its argument to a file, so a test sees what the
// shell's "open" verb started, where and with what.
#include "test_env.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <optional>

namespace testenv {

class RecordingEditor
{
public:
    RecordingEditor()
        : m_record(freshDir("editor") + "/opened")
    {
        const QString script = root() + "/record-editor.sh";
        writeFile(script, "#!/bin/sh\nprintf '%s\\n%s\\n' \"$(pwd -P)\" \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" '"
                              + m_record.toUtf8() + "'\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("TELLVARA_DATALINK_EDITOR", script.toUtf8());
    }
    ~RecordingEditor() { qunsetenv("TELLVARA_DATALINK_EDITOR"); }

    struct Opened
    {
        QString workingDirectory;
        QString file;
    };

    // What the editor was started with, waiting at most 10 s; nothing when it was not.
    std::optional<Opened> opened(int waitMs = 10000) const
    {
        const QDeadlineTimer deadline(waitMs);
        while (!QFile::exists(m_record) && !deadline.hasExpired())
            QThread::msleep(20);
        if (!QFile::exists(m_record))
            return std::nullopt;
        const QStringList lines = QString::fromUtf8(readFile(m_record)).split(u'\n');
        QFile::remove(m_record);
        return Opened{lines.value(0), lines.value(1)};
    }

private:
    QString m_record;
};

} // namespace testenv
