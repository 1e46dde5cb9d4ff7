// vardo-admin: the administration console of the Vardo service.
// "vardo-admin --screenshot DIR" renders the main window locked and unlocked into DIR
// without a display, for the documentation.
#include "app/core/startup.h"
#include "app/ui/screenshots.h"
#include "app/ui/tmainvardoadmin.h"
#include "platform/widgets/qt_message_presenter.h"
#include "suite/dialogs.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/program_options.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const char *const ScreenshotOption = "--screenshot";

const QString Usage = QStringLiteral(
    "usage: vardo-admin [FILE.udl] [NOLOGIN=1] [--screenshot DIR]\n"
    "The administration console of the Vardo service (tellvaravardo).\n"
    "  FILE.udl          the data link to use instead of the default one\n"
    "  NOLOGIN=1         sets the no-login flag of the suite's path values\n"
    "  --screenshot DIR  renders the window locked and unlocked into DIR, without a display\n"
    "  --help            this text\n"
    "  --version         the version\n"
    "Qt's own options (-platform NAME, -style NAME, ...) are accepted as well.\n");

// The options this program knows: the screenshot one, with its folder. Qt's own options
// have a single dash; anything else with two dashes is a typing error.
std::optional<QString> unknownOption(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], ScreenshotOption) == 0) {
            if (i + 1 == argc)
                return QStringLiteral("vardo-admin: %1 needs a folder").arg(QLatin1String(ScreenshotOption));
            ++i;
        } else if (std::strncmp(argv[i], "--", 2) == 0) {
            return QStringLiteral("vardo-admin: unknown option %1").arg(QString::fromLocal8Bit(argv[i]));
        }
    }
    return std::nullopt;
}

std::optional<QString> screenshotFolder(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], ScreenshotOption) == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    }
    return std::nullopt;
}

// The program's own arguments for the path values, without the screenshot option.
QStringList programArguments()
{
    QStringList arguments = QCoreApplication::arguments();
    const qsizetype at = arguments.indexOf(QString::fromLatin1(ScreenshotOption));
    if (at > 0)
        arguments.remove(at, qMin<qsizetype>(2, arguments.size() - at));
    return arguments;
}

int writeScreenshots(const QString &folder)
{
    try {
        app::ui::writeMainWindowScreenshots(programArguments(), folder);
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", qPrintable(platform::messageOf(e)));
        return 1;
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (const std::optional<int> answered = platform::answerHelpOrVersion(argc, argv, QStringLiteral("vardo-admin"), Usage))
        return *answered;
    if (const std::optional<QString> problem = unknownOption(argc, argv))
        return platform::usageError(Usage, *problem);
    const std::optional<QString> screenshots = screenshotFolder(argc, argv);
    if (screenshots && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication application(argc, argv);
    suite::SetApplicationTitle(app::ApplicationTitle);
    // Without a display nobody could answer a box: screenshots report on standard error.
    if (screenshots)
        return writeScreenshots(*screenshots);

    platform::QtMessagePresenter presenter;
    platform::setMessagePresenter(&presenter);
    try {
        platform::checkAnsiCodePage();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vardo-admin: %s\n", qPrintable(platform::messageOf(e)));
        suite::ShowError(platform::messageOf(e));
        platform::setMessagePresenter(nullptr);
        return 1;
    }
    app::ui::TMainVardoAdmin window(QCoreApplication::arguments());
    window.show();
    const int code = application.exec();
    platform::setMessagePresenter(nullptr);
    return code;
}
