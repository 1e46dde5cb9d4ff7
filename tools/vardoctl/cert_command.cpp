// vardoctl cert: the certificate lines the organisation editor offers, one a line.
#include "answer.h"
#include "command.h"

#include "editor/certificate_catalogue.h"
#include "platform/terminal_presenter.h"

#include <cstdio>
#include <optional>

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral("vardoctl cert list\n"
                                     "  list: the certificate lines of the stores MY, CA, ROOT and SPC, one a line");

int runCert(const QStringList &args)
{
    if (args != QStringList{QStringLiteral("list")})
        return usageError(Usage);
    // The editor's error box (an information box) becomes the reason on standard error,
    // where a failed command puts it; a failure half-way prints no lines.
    std::optional<platform::TerminalPresenter> terminal;
    if (!jsonOutput())
        terminal.emplace(stdin, stderr, stderr);
    const std::optional<QStringList> lines = editor::LoadCertificateLines();
    if (!lines)
        return ExitFailed;
    printLines(*lines);
    return ExitOk;
}

const CommandRegistration registration{{QStringLiteral("cert"), Usage, runCert}};

} // namespace
} // namespace vardoctl
