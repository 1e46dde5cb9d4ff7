#pragma once
// The connection handles the provider hands out, and the dial that follows a connection
// until it has connected or failed, either on the caller's thread (no notifier) or on a
// thread of the provider's own that reports every state to the notifier.
#include "platform/ras/ras_backend.h"

#include <optional>

namespace platform::ras {

// Handles name back-end keys; a key keeps its handle until it is hung up.
Handle handleFor(const QString &key);
std::optional<QString> keyOf(Handle handle);
void releaseHandle(Handle handle);

// Starts a dial. Without a notifier it waits for the outcome and returns it; with one it
// returns at once and the outcome arrives as notifications. connection is set whenever
// the back end started a connection, also when the dial then failed.
Dword dial(const DialParams &params, DialNotifier notifier, Handle &connection);

} // namespace platform::ras
