#include "net/hook_calls.h"

#include "net/hooks.h"
#include "suite/dialogs.h"

#include <QDebug>

namespace net {

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
    return ConfirmHook ? ConfirmHook(question) : suite::ResultNo;
}

} // namespace net
