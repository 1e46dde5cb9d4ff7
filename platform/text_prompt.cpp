#include "platform/text_prompt.h"

namespace platform {
namespace {

TextPrompter *current = nullptr;

} // namespace

TextPrompter *installedTextPrompter()
{
    return current;
}

void setTextPrompter(TextPrompter *prompter)
{
    current = prompter;
}

} // namespace platform
