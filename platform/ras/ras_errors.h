#pragma once
// The English text of every RAS result code the provider gives.
#include "platform/ras_api.h"

#include <QString>

namespace platform::ras {

QString errorText(Dword error);

} // namespace platform::ras
