#include "platform/scm/servicerun.h"

#include <unistd.h>

#include <cerrno>
#include <map>
#include <string>

#include "platform/process/alive.h"
#include "platform/process/cmdwords.h"
#include "platform/process/pidfile.h"
#include "platform/process/spawn.h"
#include "platform/registry/regname.h"
#include "platform/scm/account.h"

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

// The user whose pid file and process are trusted besides root; root alone for an account
// that names nobody.
uid_t TrustedOwner(const ServiceRecord& record) {
    UserIdentity user;
    return AccountIdentity(record.account, user) ? user.uid : 0;
}

PidFileReading ReadServicePidFile(const ServiceRecord& record) {
    if (record.pidFile.empty())
        return {};
    PidFileReading reading = ReadPidFile(record.pidFile, TrustedOwner(record));
    if (reading.state == PidFileState::Doubtful)
        reading.why = record.pidFile + ": " + reading.why;
    return reading;
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

DWORD StateOf(const ServiceRecord& record, const Tracked& tracked, const PidFileReading& file) {
    if (tracked.stopping != 0)
        return SERVICE_STOP_PENDING;
    if (file.state == PidFileState::Live)
        return SERVICE_RUNNING;
    if (tracked.started != 0)
        return record.pidFile.empty() ? SERVICE_RUNNING : SERVICE_START_PENDING;
    return SERVICE_STOPPED;
}

DWORD Start(const ServiceRecord& record, pid_t& pid, std::string& why) {
    UserIdentity user;
    if (!AccountIdentity(record.account, user)) {
        why = "the account " + record.account + " does not exist";
        return ERROR_INVALID_SERVICE_ACCOUNT;
    }
    if (user.uid == geteuid()) {
        if (StartDetachedProcess(record.imagePath, &pid))
            return ERROR_SUCCESS;
        why = "cannot start " + record.imagePath;
        return ERROR_FILE_NOT_FOUND;
    }
    if (geteuid() != 0) {
        why = "only root can start a service that runs as " + record.account;
        return ERROR_ACCESS_DENIED;
    }
    return StartDetachedProgramAs(SplitCommandLine(record.imagePath), user, pid, why)
               ? ERROR_SUCCESS
               : ERROR_FILE_NOT_FOUND;
}

}  // namespace

DWORD QueryRunState(const ServiceRecord& record, SERVICE_STATUS& status, std::string& why) {
    const Tracked& tracked = TrackedOf(record);
    const PidFileReading file = ReadServicePidFile(record);
    if (file.state == PidFileState::Doubtful && tracked.stopping == 0) {
        why = file.why;
        return ERROR_INVALID_DATA;
    }
    status = StatusOf(record, StateOf(record, tracked, file));
    return ERROR_SUCCESS;
}

DWORD StartServiceProcess(const ServiceRecord& record, std::string& why) {
    Tracked& tracked = TrackedOf(record);
    const PidFileReading file = ReadServicePidFile(record);
    if (file.state == PidFileState::Doubtful) {
        why = file.why;
        return ERROR_INVALID_DATA;
    }
    if (StateOf(record, tracked, file) != SERVICE_STOPPED)
        return ERROR_SERVICE_ALREADY_RUNNING;
    pid_t pid = 0;
    if (const DWORD rc = Start(record, pid, why); rc != ERROR_SUCCESS)
        return rc;
    tracked.started = pid;
    return ERROR_SUCCESS;
}

DWORD StopServiceProcess(const ServiceRecord& record, SERVICE_STATUS& status, std::string& why) {
    Tracked& tracked = TrackedOf(record);
    const PidFileReading file = ReadServicePidFile(record);
    if (file.state == PidFileState::Doubtful && tracked.stopping == 0) {
        why = file.why;
        return ERROR_INVALID_DATA;
    }
    const DWORD state = StateOf(record, tracked, file);
    if (state == SERVICE_STOPPED)
        return ERROR_SERVICE_NOT_ACTIVE;
    if (state != SERVICE_STOP_PENDING) {
        const pid_t target = file.state == PidFileState::Live ? file.pid : tracked.started;
        if (!RequestProcessStop(target)) {
            why = "cannot signal process " + std::to_string(target);
            return errno == EPERM ? static_cast<DWORD>(ERROR_ACCESS_DENIED)
                                  : ERROR_SERVICE_NOT_ACTIVE;
        }
        tracked.stopping = target;
    }
    status = StatusOf(record, SERVICE_STOP_PENDING);
    return ERROR_SUCCESS;
}

}  // namespace tlv::platform
