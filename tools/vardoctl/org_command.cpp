// vardoctl org: the organisation list with the window's rules: the same rows, deletion
// of a listed slot after the same question (asked on the terminal unless --yes is given),
// and adding or editing a slot through the slot writer the editor's "Spara" uses.
#include "answer.h"
#include "command.h"

#include "app/core/organisation_list.h"
#include "editor/certificate_catalogue.h"
#include "editor/open_data_link.h"
#include "platform/error.h"
#include "platform/terminal_presenter.h"
#include "suite/ini_reader.h"
#include "suite/organisation_slot.h"
#include "suite/paths.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral(
    "vardoctl org list\n"
    "vardoctl org show SLOT\n"
    "vardoctl org add [SLOT] [--orgnr N] [--cert TEXT] [--datalink FILE] [--check-pasis 0|1]\n"
    "vardoctl org edit SLOT [--orgnr N] [--cert TEXT] [--datalink FILE] [--check-pasis 0|1]\n"
    "vardoctl org delete SLOT [--yes]\n"
    "  list: one line per listed slot, \"SLOT<tab>ROW TEXT\"; SLOT: a number from 1, in digits\n"
    "  add takes the first free slot when none is given (a given slot must be free) and prints\n"
    "  the slot it wrote; edit changes a slot in use; --cert takes a certificate line or a\n"
    "  serial, --datalink a data-link file or a name in the data-link folder; what is not\n"
    "  given stays as stored (edit) or as the editor starts (add: empty, not ticked, the\n"
    "  default data link)");

// An option or argument this command cannot take: a usage error that names it.
class OptionError : public platform::Error
{
public:
    using platform::Error::Error;
};

int list()
{
    QList<Fields> rows;
    for (const app::OrganisationRow &row : app::FillOrganisationList().rows)
        rows.append({{QStringLiteral("slot"), row.slot}, {QStringLiteral("text"), row.text}});
    printRows(rows);
    return ExitOk;
}

// Plain decimal digits only: " 3", "+3" and "3x" are no slots.
std::optional<int> slotArgument(const QString &text)
{
    constexpr qsizetype MaxDigits = 9; // stays within an int
    const bool digits = !text.isEmpty() && text.size() <= MaxDigits
                        && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const int slot = digits ? text.toInt() : 0;
    return slot >= suite::FirstOrganisationSlot ? std::optional<int>(slot) : std::nullopt;
}

int slotArgumentOrThrow(const QString &text)
{
    if (const std::optional<int> slot = slotArgument(text))
        return *slot;
    throw OptionError(QStringLiteral("SLOT must be a number from 1 in plain digits, not \"%1\".").arg(text));
}

bool inUse(int slot)
{
    return !suite::readOrganisationsNr(slot).isEmpty();
}

QString notStoredText(int slot)
{
    return QStringLiteral("No organisation is stored in slot %1.").arg(slot);
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
    if (!inUse(slot)) {
        err() << notStoredText(slot) << '\n';
        return ExitFailed;
    }
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

bool holdsControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

// The data link to store: found as "Öppna" finds a typed name, with its whole path, and a
// data link indeed (its oledb section names a provider).
QString dataLinkToStore(const QString &file, const QString &refusal)
{
    const QString path = QFileInfo(file).absoluteFilePath();
    if (suite::ReadIniValue(path, QStringLiteral("oledb"), QStringLiteral("Provider")).isEmpty())
        throw platform::Error(refusal.arg(path));
    return path;
}

// Applies the options to the values to store; what is not given stays as it is.
void applyOptions(const QStringList &options, suite::OrganisationSlot &values)
{
    if (options.size() % 2 != 0)
        throw OptionError(QStringLiteral("%1 takes a value.").arg(options.last()));
    for (qsizetype i = 0; i < options.size(); i += 2) {
        const QString &name = options.at(i);
        const QString &value = options.at(i + 1);
        if (name == QLatin1String("--orgnr") && holdsControlCharacter(value))
            throw OptionError(QStringLiteral("--orgnr: the organisation number holds a control character."));
        if (name == QLatin1String("--orgnr"))
            values.organisationsNr = value;
        else if (name == QLatin1String("--cert"))
            values.certificate = editor::SerialFromCertificateText(value);
        else if (name == QLatin1String("--datalink"))
            values.dataProvider = dataLinkToStore(editor::ExistingDataLinkFile(value),
                                                  QStringLiteral("--datalink: %1 is no data link (no provider in its oledb section)."));
        else if (name == QLatin1String("--check-pasis") && (value == QLatin1String("0") || value == QLatin1String("1")))
            values.checkPasis = value;
        else if (name == QLatin1String("--check-pasis"))
            throw OptionError(QStringLiteral("--check-pasis takes 0 or 1, not \"%1\".").arg(value));
        else
            throw OptionError(QStringLiteral("Unknown option %1.").arg(name));
    }
}

bool optionGiven(const QStringList &options, const QString &name)
{
    for (qsizetype i = 0; i < options.size(); i += 2) {
        if (options.at(i) == name)
            return true;
    }
    return false;
}

// What add starts from, as the editor starts: empty, not ticked, and the default data
// link unless one is given, which must then be one, so that no slot points the service
// at a data link that is not there.
suite::OrganisationSlot newSlot(int slot, const QStringList &options)
{
    suite::OrganisationSlot values{slot, QString(), QString(), QString(), QStringLiteral("0")};
    applyOptions(options, values);
    if (!optionGiven(options, QStringLiteral("--datalink")))
        values.dataProvider = dataLinkToStore(suite::DefaultDataProviderFile(),
                                              QStringLiteral("No default data link is configured (%1 is none); give --datalink FILE."));
    return values;
}

suite::OrganisationSlot changedSlot(int slot, const QStringList &options)
{
    suite::OrganisationSlot values = suite::readOrganisationSlot(slot);
    applyOptions(options, values);
    return values;
}

int save(const QString &operation, const QStringList &args)
{
    // Start-up finds the default data link, which a new organisation takes unless told.
    suite::InitPaths({QCoreApplication::applicationFilePath()});
    const bool adding = operation == QLatin1String("add");
    const bool slotGiven = args.size() > 1 && !args.at(1).startsWith(QLatin1String("--"));
    if (!adding && !slotGiven)
        return usageError(Usage);
    const int slot = slotGiven ? slotArgumentOrThrow(args.at(1)) : app::firstFreeOrganisationSlot();
    if (adding && !app::organisationSlotFree(slot)) {
        err() << "Slot " << slot << " is in use; vardoctl org edit " << slot << " changes it.\n";
        return ExitFailed;
    }
    if (!adding && !inUse(slot)) {
        err() << notStoredText(slot) << " vardoctl org add " << slot << " adds one.\n";
        return ExitFailed;
    }
    const QStringList options = args.mid(slotGiven ? 2 : 1);
    suite::writeOrganisationSlot(adding ? newSlot(slot, options) : changedSlot(slot, options));
    if (jsonOutput())
        return show(slot);
    if (adding)
        out() << slot << '\n';
    return ExitOk;
}

int runOrgCommand(const QStringList &args)
{
    if (args == QStringList{QStringLiteral("list")})
        return list();
    const QString operation = args.value(0);
    if (operation == QLatin1String("show"))
        return args.size() == 2 ? show(slotArgumentOrThrow(args.at(1))) : usageError(Usage);
    if (operation == QLatin1String("add") || operation == QLatin1String("edit"))
        return save(operation, args);
    const bool confirmed = args.size() == 3 && args.at(2) == QLatin1String("--yes");
    if (operation != QLatin1String("delete") || args.size() < 2 || (args.size() != 2 && !confirmed))
        return usageError(Usage);
    return remove(slotArgumentOrThrow(args.at(1)), confirmed);
}

int runOrg(const QStringList &args)
{
    try {
        return runOrgCommand(args);
    } catch (const OptionError &e) {
        err() << e.message() << '\n';
        return usageError(Usage);
    }
}

const CommandRegistration registration{{QStringLiteral("org"), Usage, runOrg}};

} // namespace
} // namespace vardoctl
