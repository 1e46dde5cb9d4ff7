#pragma once
// Reading a file that holds secrets (the simulated modem's phonebook) straight into a
// wiped buffer: no stream or cache keeps a copy. Links are not followed, only a regular
// file is read, and the read is bounded by the size the caller allows.
#include "platform/secret_buffer.h"

#include <QString>

#include <optional>

namespace platform {

// Nothing when no file of that name exists. Throws Error naming the file when it is a
// link or no regular file, is larger than maxBytes, or cannot be read.
std::optional<SecretBuffer> readSecretFile(const QString &path, std::size_t maxBytes);

} // namespace platform
