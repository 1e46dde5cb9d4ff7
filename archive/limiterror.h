#pragma once
// The error for what the format cannot hold: an entry or an archive that would reach
// 2 GiB. It is raised to the caller even by the operations that otherwise keep their
// failures to themselves, since nothing else tells the caller why nothing changed.
#include "platform/error.h"

namespace archive {

class LimitError : public platform::Error
{
public:
    using platform::Error::Error;
};

} // namespace archive
