// vardo-admin: the administration console of the Vardo service.
// "vardo-admin --screenshot DIR" renders the main window locked and unlocked into DIR
// without a display, for the documentation.
#include "app/core/startup.h"
#include "app/ui/screenshots.h"
#include "app/ui/tmainvardoadmin.h"
#include "platform/widgets/qt_message_presenter.h"
#include "suite/dialogs.h"
#include "platform/error.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const char *const ScreenshotOption = "--screenshot";

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
    app::ui::TMainVardoAdmin window(QCoreApplication::arguments());
    window.show();
    const int code = application.exec();
    platform::setMessagePresenter(nullptr);
    return code;
}
