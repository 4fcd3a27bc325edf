#include "platform/scm/unitservices.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/registry/regname.h"
#include "platform/scm/account.h"
#include "platform/scm/systemdbus.h"
#include "platform/scm/unitfiles.h"

namespace tlv::platform {
namespace {

constexpr const char* kDropInName = "tlvs-account.conf";

std::string UnitFilePath(const std::string& unit) {
    return UnitFolder() + "/" + unit;
}

std::string DropInFolder(const std::string& unit) {
    return UnitFilePath(unit) + ".d";
}

DWORD StateOf(const UnitState& unit) {
    if (unit.activeState == "active" || unit.activeState == "reloading")
        return SERVICE_RUNNING;
    if (unit.activeState == "activating")
        return SERVICE_START_PENDING;
    if (unit.activeState == "deactivating")
        return SERVICE_STOP_PENDING;
    if (unit.activeState == "inactive" || unit.activeState == "failed")
        return SERVICE_STOPPED;
    return SERVICE_CONTINUE_PENDING;  // a state this layer does not know: not stopped
}

SERVICE_STATUS StatusOf(const UnitState& unit) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = StateOf(unit);
    status.dwControlsAccepted = status.dwCurrentState == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    status.dwWaitHint = kDefaultWaitHint;
    return status;
}

DWORD FromErrno(const std::string& what, std::string& why) {
    why = what + ": " + std::strerror(errno);
    return errno == EACCES || errno == EPERM ? ERROR_ACCESS_DENIED : ERROR_EXCEPTION_IN_SERVICE;
}

// Written beside the target and renamed over it: systemd never reads half a file.
DWORD WriteFileAtomically(const std::string& path, const std::string& text, std::string& why) {
    const std::string partial = path + ".partial";
    const int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return FromErrno(partial, why);
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
                         fsync(fd) == 0;
    close(fd);
    if (!written || rename(partial.c_str(), path.c_str()) != 0) {
        const DWORD rc = FromErrno(path, why);
        unlink(partial.c_str());
        return rc;
    }
    return ERROR_SUCCESS;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// The account as a unit names it: empty for the system's own account.
DWORD UnitUser(const std::string& account, std::string& user, std::string& why) {
    UserIdentity identity;
    if (!AccountIdentity(account, identity)) {
        why = "the account " + account + " does not exist";
        return ERROR_INVALID_SERVICE_ACCOUNT;
    }
    user = FoldRegName(account) == FoldRegName(kLocalSystemAccount) ? std::string{} : identity.name;
    return ERROR_SUCCESS;
}

}  // namespace

DWORD OpenUnitService(const std::string& serviceName, std::string& unit, std::string& why) {
    unit = UnitNameOf(serviceName);
    UnitState state;
    if (const DWORD rc = LoadUnit(unit, state, why); rc != ERROR_SUCCESS)
        return rc;
    if (state.loadState == "not-found") {
        why = "systemd knows no unit " + unit;
        return ERROR_SERVICE_DOES_NOT_EXIST;
    }
    return ERROR_SUCCESS;
}

DWORD QueryUnitService(const std::string& unit, SERVICE_STATUS& status, std::string& why) {
    UnitState state;
    if (const DWORD rc = LoadUnit(unit, state, why); rc != ERROR_SUCCESS)
        return rc;
    status = StatusOf(state);
    return ERROR_SUCCESS;
}

DWORD StartUnitService(const std::string& unit, std::string& why) {
    UnitState state;
    if (const DWORD rc = LoadUnit(unit, state, why); rc != ERROR_SUCCESS)
        return rc;
    if (state.loadState == "masked")
        return ERROR_SERVICE_DISABLED;
    if (StateOf(state) == SERVICE_RUNNING)
        return ERROR_SERVICE_ALREADY_RUNNING;
    return StartUnit(unit, why);
}

DWORD StopUnitService(const std::string& unit, SERVICE_STATUS& status, std::string& why) {
    UnitState state;
    if (const DWORD rc = LoadUnit(unit, state, why); rc != ERROR_SUCCESS)
        return rc;
    if (StateOf(state) == SERVICE_STOPPED)
        return ERROR_SERVICE_NOT_ACTIVE;
    if (const DWORD rc = StopUnit(unit, why); rc != ERROR_SUCCESS)
        return rc;
    return QueryUnitService(unit, status, why);
}

DWORD ChangeUnitService(const std::string& unit, const ServiceChange& change, std::string& why) {
    if (change.type || change.start || change.errorControl || change.imagePath ||
        change.dependencies) {
        why = "only the account and the display name of a systemd unit are changed here";
        return ERROR_INVALID_PARAMETER;
    }
    const std::string folder = DropInFolder(unit);
    const std::string path = folder + "/" + kDropInName;
    UnitSettings settings = ParseDropIn(FileText(path));
    if (change.displayName)
        settings.description = *change.displayName;
    if (change.account) {
        if (const DWORD rc = UnitUser(*change.account, settings.user, why); rc != ERROR_SUCCESS)
            return rc;
    }
    const std::optional<std::string> text = DropInText(settings);
    if (!text) {
        why = "a control character cannot stand in a unit file";
        return ERROR_INVALID_PARAMETER;
    }
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        return FromErrno(folder, why);
    if (const DWORD rc = WriteFileAtomically(path, *text, why); rc != ERROR_SUCCESS)
        return rc;
    return ReloadUnits(why);
}

DWORD CreateUnitService(const ServiceRecord& record, std::string& why) {
    const std::string unit = UnitNameOf(record.name);
    UnitState state;
    if (const DWORD rc = LoadUnit(unit, state, why); rc != ERROR_SUCCESS)
        return rc;
    if (state.loadState != "not-found" || Exists(UnitFilePath(unit)))
        return ERROR_SERVICE_EXISTS;
    if (record.start != SERVICE_AUTO_START && record.start != SERVICE_DEMAND_START) {
        why = "a systemd unit starts at boot or on demand";
        return ERROR_INVALID_PARAMETER;
    }
    UnitFileSettings settings{{record.displayName, {}}, record.imagePath, {}};
    if (!record.dependencies.empty())  // the first name of the list
        settings.dependency = record.dependencies.substr(0, record.dependencies.find('\0'));
    if (const DWORD rc = UnitUser(record.account, settings.settings.user, why); rc != ERROR_SUCCESS)
        return rc;
    const std::optional<std::string> text = UnitFileText(settings);
    if (!text) {
        why = "the program must be an absolute path, and no field may hold a control character";
        return ERROR_INVALID_PARAMETER;
    }
    if (const DWORD rc = WriteFileAtomically(UnitFilePath(unit), *text, why); rc != ERROR_SUCCESS)
        return rc;
    if (const DWORD rc = ReloadUnits(why); rc != ERROR_SUCCESS)
        return rc;
    return record.start == SERVICE_AUTO_START ? EnableUnitFile(unit, true, why) : ERROR_SUCCESS;
}

DWORD DeleteUnitService(const std::string& unit, std::string& why) {
    const std::string path = UnitFilePath(unit);
    if (!IsWrittenHere(FileText(path))) {
        why = unit + " was not installed here and is not removed here";
        return ERROR_ACCESS_DENIED;
    }
    if (const DWORD rc = EnableUnitFile(unit, false, why); rc != ERROR_SUCCESS)
        return rc;
    const std::string dropIn = DropInFolder(unit) + "/" + kDropInName;
    if ((unlink(dropIn.c_str()) != 0 && errno != ENOENT) || unlink(path.c_str()) != 0)
        return FromErrno(path, why);
    rmdir(DropInFolder(unit).c_str());  // only when nothing else is in it
    return ReloadUnits(why);
}

}  // namespace tlv::platform
