#include "platform/testing/scripted_prompter.h"

namespace platform::testing {

ScriptedPrompter::ScriptedPrompter()
{
    setTextPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter()
{
    setTextPrompter(nullptr);
}

std::optional<QString> ScriptedPrompter::ask(const TextPrompt &prompt)
{
    m_prompts.append(prompt);
    return m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
}

} // namespace platform::testing
