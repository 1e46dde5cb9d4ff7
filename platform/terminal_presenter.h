#pragma once
// Message boxes on a terminal, for command-line programs: information goes to standard
// output, warnings and errors to standard error, each as "Title: text" with the box's
// line breaks ("\r", "\r\n") as new lines. A box with several buttons asks on standard
// error and reads the answer from standard input: a button's caption or its accelerator
// letter (the one after "&"), without regard to letter case. Up to three unknown answers
// are asked again; after that, or at the end of input, the box counts as closed (2).
// Installs itself as the presenter while it lives.
#include "platform/messagebox.h"

#include <cstdio>

namespace platform {

class TerminalPresenter : public MessagePresenter
{
public:
    explicit TerminalPresenter(std::FILE *input = stdin, std::FILE *output = stdout, std::FILE *errors = stderr);
    ~TerminalPresenter() override;

    int present(const MessageBox &box) override;

private:
    int ask(const MessageBox &box);

    std::FILE *m_input;
    std::FILE *m_output;
    std::FILE *m_errors;
};

} // namespace platform
