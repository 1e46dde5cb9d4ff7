#pragma once
// The zlb commands. Each returns the exit status: 0 done, 1 something failed (the
// reasons are on stderr). Errors of the component are raised and reported by main.
#include "options.h"

#include "archive/zlbarchive.h"

namespace zlbtool {

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;

// A component set up for the tool: progress to the bar, logged errors to stderr.
class Session
{
public:
    explicit Session(const Options &options);
    archive::TZLBArchive &archive() { return m_archive; }
    const Options &options() const { return m_options; }
    // Whether the component logged a problem along the way.
    bool failed() const { return m_failed; }
    void fail(const QString &message);

private:
    Options m_options;
    archive::TZLBArchive m_archive;
    bool m_failed = false;
};

int listCommand(Session &session);
int addCommand(Session &session);
int extractCommand(Session &session);
int testCommand(Session &session);
int updateCommand(Session &session);
int deleteCommand(Session &session);
int renameCommand(Session &session);

} // namespace zlbtool
