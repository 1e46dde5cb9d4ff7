#pragma once
// The provider's own small entry dialog, used where no system connection editor exists.
#include "platform/ras_api.h"

#include <QString>

#include <cstdint>

namespace platform::ras {

struct EntryFields
{
    QString name;
    QString phoneNumber;
    QString userName;
    QString password;
};

// Shows the dialog modally over window (a native window id, or 0); on OK the fields hold
// what was entered and the result is 0. Cancel gives ErrorCancelled; a process that
// cannot show windows gets ErrorInvalidParameter.
Dword runEntryDialog(std::uintptr_t window, EntryFields &fields);

} // namespace platform::ras
