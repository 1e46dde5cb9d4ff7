// vardo-datalink: edits one data-link file (".udl"). The shell's "open" verb starts it for
// the data providers dialog; an empty or missing file is a new data link.
#include "datalink/ui/datalink_window.h"

#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/program_options.h"
#include "platform/widgets/qt_message_presenter.h"
#include "suite/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace {

const QString Usage = QStringLiteral(
    "usage: vardo-datalink [--screenshot DIR] FILE.udl\n"
    "Edits the data-link file FILE.udl: its provider (SQLite, ODBC, SQL Server through ODBC or\n"
    "PostgreSQL) and the connection's fields; \"OK\" saves it.\n"
    "  --screenshot DIR  write the window as DIR/datalink-editor.png and end, without a display\n");

struct Options
{
    QString file;
    std::optional<QString> screenshotFolder;
};

std::optional<Options> parseOptions(const QStringList &args, QString *problem)
{
    Options options;
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--screenshot") && i + 1 < args.size())
            options.screenshotFolder = args.at(++i);
        else if (args.at(i).startsWith(u'-'))
            *problem = QStringLiteral("unknown option ") + args.at(i);
        else if (options.file.isEmpty())
            options.file = args.at(i);
        else
            *problem = QStringLiteral("only one file");
    }
    if (problem->isEmpty() && options.file.isEmpty())
        *problem = QStringLiteral("no file given");
    return problem->isEmpty() ? std::optional(options) : std::nullopt;
}

QStringList argumentList(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

int writeScreenshot(datalink::DataLinkWindow &window, const QString &folder)
{
    window.show();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(QStringLiteral("datalink-editor.png"));
    if (!QDir().mkpath(folder) || !window.grab().save(path)) {
        std::fprintf(stderr, "vardo-datalink: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (const std::optional<int> answered = platform::answerHelpOrVersion(argc, argv, QStringLiteral("vardo-datalink"), Usage))
        return *answered;
    QString problem;
    const std::optional<Options> options = parseOptions(argumentList(argc, argv), &problem);
    if (!options)
        return platform::usageError(Usage, problem);
    if (options->screenshotFolder && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication application(argc, argv);
    suite::SetApplicationTitle(QStringLiteral("Datalänk"));
    // Without a display nobody could answer a box: screenshots report on standard error.
    platform::QtMessagePresenter presenter;
    if (!options->screenshotFolder)
        platform::setMessagePresenter(&presenter);
    int code = 1;
    try {
        platform::checkAnsiCodePage(); // 8-bit data-link files are read in that code page
        datalink::DataLinkEditor editor(QDir::current().absoluteFilePath(options->file));
        datalink::DataLinkWindow window(editor);
        if (options->screenshotFolder)
            return writeScreenshot(window, *options->screenshotFolder);
        window.exec(); // OK has saved; Cancel leaves the file as it was
        code = 0;
    } catch (const platform::Error &e) {
        std::fprintf(stderr, "vardo-datalink: %s\n", qPrintable(e.message()));
        suite::ShowError(e.message());
    }
    platform::setMessagePresenter(nullptr);
    return code;
}
