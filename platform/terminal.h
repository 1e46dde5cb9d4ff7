#pragma once
// The few questions a command-line tool asks about its terminal.
namespace platform {

// Whether standard error is a terminal (so a progress bar may be drawn on it).
bool standardErrorIsTerminal();

// Columns of the terminal on standard error; 80 when it cannot be told.
int terminalColumns();

} // namespace platform
