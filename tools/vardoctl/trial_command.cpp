// vardoctl trial: prepares the embedded default of a trial run below TELLVARA_ROOT — the
// sample practice database and its data links — leaving existing files as they are — and
// the simulated modem's two dial-up entries.
#include "answer.h"
#include "command.h"

#include "dialup/trial_entries.h"
#include "suite/trial_defaults.h"

namespace vardoctl {
namespace {

const QString Usage = QStringLiteral("vardoctl trial");

int runTrial(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(Usage);
    const suite::TrialDefaults files = suite::EnsureTrialDefaults();
    dialup::WriteTrialEntries();
    QStringList written{files.dataLinkFile};
    if (!files.odbcDataLinkFile.isEmpty())
        written << files.odbcDataLinkFile;
    printLines(written << files.databaseFile);
    return ExitOk;
}

const CommandRegistration registration{{QStringLiteral("trial"), Usage, runTrial}};

} // namespace
} // namespace vardoctl
