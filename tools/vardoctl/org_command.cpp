// vardoctl org: the organisation list with the window's rules: the same rows, deletion
// of a listed slot after the same question (asked on the terminal unless --yes is given),
// and adding or editing a slot through the editor's own "Spara".
#include "answer.h"
#include "command.h"

#include "app/core/organisation_list.h"
#include "editor/open_data_link.h"
#include "editor/organisation_save.h"
#include "platform/error.h"
#include "platform/terminal_presenter.h"
#include "suite/paths.h"

#include <QCoreApplication>

#include <optional>

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral(
    "vardoctl org list\n"
    "vardoctl org show SLOT\n"
    "vardoctl org add [SLOT] [--orgnr N] [--cert TEXT] [--datalink FILE] [--check-pasis 0|1]\n"
    "vardoctl org edit SLOT [--orgnr N] [--cert TEXT] [--datalink FILE] [--check-pasis 0|1]\n"
    "vardoctl org delete SLOT [--yes]\n"
    "  list: one line per listed slot, \"SLOT<tab>ROW TEXT\"\n"
    "  add takes the first free slot when none is given and prints the slot it wrote;\n"
    "  --cert takes a certificate line or a serial, --datalink a data-link file or a name in\n"
    "  the data-link folder; what is not given stays as stored (edit) or as the editor starts\n"
    "  (add: empty, not ticked, the default data link)");

int list()
{
    QList<Fields> rows;
    for (const app::OrganisationRow &row : app::FillOrganisationList().rows)
        rows.append({{QStringLiteral("slot"), row.slot}, {QStringLiteral("text"), row.text}});
    printRows(rows);
    return ExitOk;
}

std::optional<int> slotArgument(const QString &text)
{
    bool ok = false;
    const int slot = text.toInt(&ok);
    return ok && slot >= suite::FirstOrganisationSlot ? std::optional<int>(slot) : std::nullopt;
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
        return jsonOutput() ? vardoctl::list() : ExitOk;
    }
    const platform::TerminalPresenter terminal;
    if (app::deleteSelectedOrganisation(list))
        return jsonOutput() ? vardoctl::list() : ExitOk;
    err() << "Nothing deleted.\n";
    return ExitFailed;
}

int show(int slot)
{
    const suite::OrganisationSlot stored = suite::readOrganisationSlot(slot);
    const Fields fields{
        {suite::OrganisationValue::OrganisationsNr, stored.organisationsNr},
        {suite::OrganisationValue::CheckPasis, stored.checkPasis},
        {suite::OrganisationValue::DefaultVardoCertificate, stored.certificate},
        {suite::OrganisationValue::DefaultDataProvider, stored.dataProvider},
    };
    QJsonObject answer = objectOf(fields);
    answer.insert(QStringLiteral("slot"), slot);
    printAnswer(answer, [&] { return fieldLines(fields); });
    return ExitOk;
}

// Applies the options to the entry; false on a malformed option.
bool applyOptions(const QStringList &options, editor::OrganisationEntry &entry)
{
    if (options.size() % 2 != 0)
        return false;
    for (qsizetype i = 0; i < options.size(); i += 2) {
        const QString &name = options.at(i);
        const QString &value = options.at(i + 1);
        if (name == QLatin1String("--orgnr"))
            entry.organisationsNr = value;
        else if (name == QLatin1String("--cert"))
            entry.certificateText = value;
        else if (name == QLatin1String("--datalink"))
            entry.dataProvider = editor::ExistingDataLinkFile(value);
        else if (name == QLatin1String("--check-pasis") && (value == QLatin1String("0") || value == QLatin1String("1")))
            entry.checkPasis = value == QLatin1String("1");
        else
            return false;
    }
    return true;
}

int save(const QString &operation, const QStringList &args)
{
    // Start-up finds the default data link, which a new organisation takes unless told.
    suite::InitPaths({QCoreApplication::applicationFilePath()});
    const std::optional<int> given = slotArgument(args.value(1));
    const bool adding = operation == QLatin1String("add");
    if (!adding && !given)
        return usageError(Usage);
    const int slot = given ? *given : app::firstFreeOrganisationSlot();
    editor::OrganisationEntry entry{QString(), false, QString(), suite::DefaultDataProviderFile()};
    if (!adding) {
        const app::OrganisationEditorValues stored = app::editorValuesForSlot(slot);
        entry = {stored.organisationsNr, stored.checkPasis, stored.certificate, stored.dataProvider};
    }
    if (!applyOptions(args.mid(given ? 2 : 1), entry))
        return usageError(Usage);
    editor::SaveOrganisation(slot, entry);
    if (jsonOutput())
        return show(slot);
    if (adding)
        out() << slot << '\n';
    return ExitOk;
}

int runOrg(const QStringList &args)
{
    if (args == QStringList{QStringLiteral("list")})
        return list();
    const QString operation = args.value(0);
    if (operation == QLatin1String("show")) {
        const std::optional<int> slot = slotArgument(args.value(1));
        return slot && args.size() == 2 ? show(*slot) : usageError(Usage);
    }
    if (operation == QLatin1String("add") || operation == QLatin1String("edit"))
        return save(operation, args);
    const bool confirmed = args.size() == 3 && args.at(2) == QLatin1String("--yes");
    const std::optional<int> slot = slotArgument(args.value(1));
    if (args.value(0) != QLatin1String("delete") || !slot || (args.size() != 2 && !confirmed))
        return usageError(Usage);
    return remove(*slot, confirmed);
}

const CommandRegistration registration{{QStringLiteral("org"), Usage, runOrg}};

} // namespace
} // namespace vardoctl
