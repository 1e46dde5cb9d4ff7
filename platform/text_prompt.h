#pragma once
// The one-line input prompt: a caption, a prompt line and an edit with an initial text.
// Like message boxes, prompts go through an installed prompter, so a test can answer them
// from a script without a display. Without an installed prompter a window uses the Qt
// prompt (platform/widgets/qt_text_prompter.h).
#include <QString>

#include <optional>

namespace platform {

struct TextPrompt
{
    QString caption;
    QString label;
    QString initialText;
};

class TextPrompter
{
public:
    virtual ~TextPrompter() = default;
    // The text entered, or nothing when the user cancelled.
    virtual std::optional<QString> ask(const TextPrompt &prompt) = 0;
};

// The installed prompter, or nullptr.
TextPrompter *installedTextPrompter();
// Installs a prompter (not owned); nullptr removes it.
void setTextPrompter(TextPrompter *prompter);

} // namespace platform
