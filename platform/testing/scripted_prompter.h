#pragma once
// A prompter for tests: records every prompt and answers from a queue of texts; an empty
// queue (or a queued nothing) cancels. Installs itself while alive.
#include "platform/text_prompt.h"

#include <QList>

namespace platform::testing {

class ScriptedPrompter : public TextPrompter
{
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    std::optional<QString> ask(const TextPrompt &prompt) override;

    void answer(const std::optional<QString> &text) { m_answers.append(text); }
    const QList<TextPrompt> &prompts() const { return m_prompts; }

private:
    QList<TextPrompt> m_prompts;
    QList<std::optional<QString>> m_answers;
};

} // namespace platform::testing
