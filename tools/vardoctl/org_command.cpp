// vardoctl org: the organisation list with the window's rules: the same rows, and deletion
// of a listed slot after the same question, asked on the terminal unless --yes is given.
#include "command.h"

#include "app/core/organisation_list.h"
#include "platform/terminal_presenter.h"

#include <optional>

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral("vardoctl org list\n"
                                     "vardoctl org delete SLOT [--yes]\n"
                                     "  list: one line per listed slot, \"SLOT<tab>ROW TEXT\"");

int list()
{
    for (const app::OrganisationRow &row : app::FillOrganisationList().rows)
        out() << row.slot << '\t' << row.text << '\n';
    return ExitOk;
}

std::optional<int> slotArgument(const QString &text)
{
    bool ok = false;
    const int slot = text.toInt(&ok);
    return ok && slot >= app::FirstOrganisationSlot ? std::optional<int>(slot) : std::nullopt;
}

int remove(int slot, bool confirmed)
{
    app::OrganisationList list = app::FillOrganisationList();
    list.selected = -1;
    for (qsizetype i = 0; i < list.rows.size(); ++i)
        if (list.rows.at(i).slot == slot)
            list.selected = int(i);
    if (list.selected < 0) {
        err() << "No organisation is listed in slot " << slot << ".\n";
        return ExitFailed;
    }
    if (confirmed) {
        app::deleteOrganisationRow(list);
        return ExitOk;
    }
    const platform::TerminalPresenter terminal;
    if (app::deleteSelectedOrganisation(list))
        return ExitOk;
    err() << "Nothing deleted.\n";
    return ExitFailed;
}

int runOrg(const QStringList &args)
{
    if (args == QStringList{QStringLiteral("list")})
        return list();
    const bool confirmed = args.size() == 3 && args.at(2) == QLatin1String("--yes");
    const std::optional<int> slot = slotArgument(args.value(1));
    if (args.value(0) != QLatin1String("delete") || !slot || (args.size() != 2 && !confirmed))
        return usageError(Usage);
    return remove(*slot, confirmed);
}

const CommandRegistration registration{{QStringLiteral("org"), Usage, runOrg}};

} // namespace
} // namespace vardoctl
