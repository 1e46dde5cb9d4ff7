#include "app/core/startup.h"

#include "net/hooks.h"
#include "suite/dialogs.h"
#include "suite/translate.h"

namespace app {

void installNetHooks()
{
    net::MessageHook = suite::ShowMessageText;
    net::ConfirmHook = suite::AskYesNo;
    net::TranslateHook = suite::TranslateText;
}

} // namespace app
