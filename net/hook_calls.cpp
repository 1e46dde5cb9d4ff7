#include "net/hook_calls.h"

#include "net/hooks.h"

#include <QDebug>

namespace net {

namespace {
constexpr int AnswerNo = 7;
}

QString Translate(const QString &text)
{
    return TranslateHook ? TranslateHook(text) : text;
}

void ShowHookMessage(const QString &text)
{
    if (MessageHook)
        MessageHook(text);
    else
        qWarning().noquote() << text;
}

int AskHookQuestion(const QString &question)
{
    return ConfirmHook ? ConfirmHook(question) : AnswerNo;
}

} // namespace net
