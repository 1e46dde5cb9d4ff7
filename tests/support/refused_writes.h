#pragma once
// An account whose writes the machine-wide store refuses, as an administrator outside the
// store's group meets it. Root may write everything, so as root the code and programs run
// as "nobody" outside every group; any other account takes the write right off the store's
// folders for as long as the object lives.
#include "program_run.h"

#include <QHash>
#include <QString>

#include <functional>

namespace testenv {

class RefusedMachineWrites
{
public:
    RefusedMachineWrites();
    ~RefusedMachineWrites();
    RefusedMachineWrites(const RefusedMachineWrites &) = delete;
    RefusedMachineWrites &operator=(const RefusedMachineWrites &) = delete;

    // Runs code of this process as that account.
    void run(const std::function<void()> &code) const;
    // Runs a program as that account (bounded as runProgram is).
    ProgramRun runProgram(const QString &program, const QStringList &args, const RunOptions &options = {}) const;

private:
    bool m_asNobody;
    QHash<QString, int> m_folderModes; // the store's folders and the modes they had
};

} // namespace testenv
