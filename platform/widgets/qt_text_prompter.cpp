#include "platform/widgets/qt_text_prompter.h"

#include <QInputDialog>

namespace platform {

std::optional<QString> promptForText(const TextPrompt &prompt, QWidget *parent)
{
    if (TextPrompter *prompter = installedTextPrompter())
        return prompter->ask(prompt);
    bool ok = false;
    const QString text = QInputDialog::getText(parent, prompt.caption, prompt.label, QLineEdit::Normal,
                                               prompt.initialText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

} // namespace platform
