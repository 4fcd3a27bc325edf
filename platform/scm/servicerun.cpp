#include "platform/scm/servicerun.h"

#include <cerrno>
#include <map>
#include <optional>
#include <string>

#include "platform/process/alive.h"
#include "platform/process/pidfile.h"
#include "platform/process/spawn.h"
#include "platform/registry/regname.h"

namespace tlv::platform {

namespace {

// The processes this program started for a service, and the one it asked to stop.
struct Tracked {
    pid_t started = 0;
    pid_t stopping = 0;
};

Tracked& TrackedOf(const ServiceRecord& record) {
    static std::map<std::string, Tracked> tracked;
    Tracked& entry = tracked[FoldRegName(record.name)];
    if (entry.started != 0 && !IsProcessAlive(entry.started))
        entry.started = 0;
    if (entry.stopping != 0 && !IsProcessAlive(entry.stopping))
        entry.stopping = 0;
    return entry;
}

std::optional<pid_t> PidFromFile(const ServiceRecord& record) {
    if (record.pidFile.empty())
        return std::nullopt;
    return ReadLivePid(record.pidFile);
}

SERVICE_STATUS StatusOf(const ServiceRecord& record, DWORD state) {
    SERVICE_STATUS status{};
    status.dwServiceType = record.type;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    status.dwWaitHint = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING
                            ? record.waitHint
                            : 0;
    return status;
}

DWORD StateOf(const ServiceRecord& record, const Tracked& tracked, bool runsFromFile) {
    if (tracked.stopping != 0)
        return SERVICE_STOP_PENDING;
    if (runsFromFile)
        return SERVICE_RUNNING;
    if (tracked.started != 0)
        return record.pidFile.empty() ? SERVICE_RUNNING : SERVICE_START_PENDING;
    return SERVICE_STOPPED;
}

}  // namespace

SERVICE_STATUS QueryRunState(const ServiceRecord& record) {
    const Tracked& tracked = TrackedOf(record);
    return StatusOf(record, StateOf(record, tracked, PidFromFile(record).has_value()));
}

DWORD StartServiceProcess(const ServiceRecord& record) {
    Tracked& tracked = TrackedOf(record);
    if (StateOf(record, tracked, PidFromFile(record).has_value()) != SERVICE_STOPPED)
        return ERROR_SERVICE_ALREADY_RUNNING;
    pid_t pid = 0;
    if (!StartDetachedProcess(record.imagePath, &pid))
        return ERROR_FILE_NOT_FOUND;
    tracked.started = pid;
    return ERROR_SUCCESS;
}

DWORD StopServiceProcess(const ServiceRecord& record, SERVICE_STATUS& status) {
    Tracked& tracked = TrackedOf(record);
    const std::optional<pid_t> fromFile = PidFromFile(record);
    const DWORD state = StateOf(record, tracked, fromFile.has_value());
    if (state == SERVICE_STOPPED)
        return ERROR_SERVICE_NOT_ACTIVE;
    if (state != SERVICE_STOP_PENDING) {
        const pid_t target = fromFile.value_or(tracked.started);
        if (!RequestProcessStop(target))
            return errno == EPERM ? static_cast<DWORD>(ERROR_ACCESS_DENIED)
                                  : ERROR_SERVICE_NOT_ACTIVE;
        tracked.stopping = target;
    }
    status = StatusOf(record, SERVICE_STOP_PENDING);
    return ERROR_SUCCESS;
}

}  // namespace tlv::platform
