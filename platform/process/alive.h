#pragma once
// Whether a process still runs, and asking it to stop.

#include <sys/types.h>

namespace tlv::platform {

// True while the process exists and has not ended; a process this program started and that has
// ended is collected first, so it does not count as running while it waits to be collected.
bool IsProcessAlive(pid_t pid);

// Sends SIGTERM; false when the process does not exist or may not be signalled.
bool RequestProcessStop(pid_t pid);

}  // namespace tlv::platform
