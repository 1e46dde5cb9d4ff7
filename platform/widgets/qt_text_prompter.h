#pragma once
// The one-line input prompt as Qt's QInputDialog, unless a prompter is installed
// (platform/text_prompt.h), which then answers instead.
#include "platform/text_prompt.h"

class QWidget;

namespace platform {

std::optional<QString> promptForText(const TextPrompt &prompt, QWidget *parent = nullptr);

} // namespace platform
