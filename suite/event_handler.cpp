#include "suite/event_handler.h"

#include "suite/dialogs.h"
#include "platform/error.h"

#include <QString>

namespace suite {

void runEventHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        ShowApplicationError(platform::messageOf(e));
    } catch (...) {
        // Nothing a handler calls should throw anything else; if it does, the program
        // still keeps running.
        ShowApplicationError(QStringLiteral("Unknown error"));
    }
}

} // namespace suite
