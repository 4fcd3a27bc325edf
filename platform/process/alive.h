#pragma once
// Whether a process still runs, who it runs as, when it started, and asking it to stop.

#include <sys/types.h>

#include <cstdint>
#include <optional>

namespace tlv::platform {

// True while the process exists and has not ended; a process this program started and that has
// ended is collected first, so it does not count as running while it waits to be collected.
bool IsProcessAlive(pid_t pid);

// The user a running process runs as; empty when it does not run (or has ended and waits to be
// collected by another program).
std::optional<uid_t> ProcessOwner(pid_t pid);

// When the process started, in clock ticks since boot: with the pid it names one process for
// good, as a pid alone does not once the number has been given again.
std::optional<std::uint64_t> ProcessStartTime(pid_t pid);

// Sends SIGTERM; false when the process does not exist or may not be signalled.
bool RequestProcessStop(pid_t pid);

}  // namespace tlv::platform
