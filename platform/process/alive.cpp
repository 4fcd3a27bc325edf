#include "platform/process/alive.h"

#include <cerrno>
#include <csignal>

#include "platform/process/spawn.h"

namespace tlv::platform {

bool IsProcessAlive(pid_t pid) {
    if (pid <= 0)
        return false;
    CollectFinishedProcesses();
    // EPERM: it exists but belongs to another user.
    return kill(pid, 0) == 0 || errno == EPERM;
}

bool RequestProcessStop(pid_t pid) {
    return pid > 0 && kill(pid, SIGTERM) == 0;
}

}  // namespace tlv::platform
