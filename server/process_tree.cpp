#include "server/process_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/files/filedescriptor.h"

namespace tlv::server {
namespace {

using tlv::platform::FileDescriptor;

// An environment is read only this far: marks come first-hand from tlvsd, and a process with a
// larger environment is still found through its group, session or parent.
constexpr std::size_t kMaxEnvironmentBytes = 256 * 1024;

}  // namespace

std::optional<ProcessInfo> readProcess(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return std::nullopt;
    }
    // The command name in parentheses may hold blanks: count fields after its closing one.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(line.substr(close + 1));
    std::string state;
    ProcessInfo info;
    info.pid = pid;
    if (!(fields >> state >> info.parent >> info.group >> info.session)) {
        return std::nullopt;
    }
    std::string skipped;
    for (int index = 7; index < 22 && fields >> skipped; ++index) {
    }
    if (!(fields >> info.startTime) || state == "Z") {
        return std::nullopt;  // a zombie holds nothing: only its parent's wait ends it
    }
    return info;
}

std::vector<ProcessInfo> allProcesses() {
    std::vector<ProcessInfo> processes;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return processes;
    }
    while (const dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid > 0 && *end == '\0') {
            if (const auto info = readProcess(static_cast<pid_t>(pid))) {
                processes.push_back(*info);
            }
        }
    }
    closedir(proc);
    return processes;
}

bool carriesMark(pid_t pid, const std::string& prefix) {
    const std::string path = "/proc/" + std::to_string(pid) + "/environ";
    const FileDescriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.Get() < 0) {
        return false;
    }
    std::string environment;
    char buffer[16384];
    ssize_t got = 0;
    while (environment.size() < kMaxEnvironmentBytes &&
           (got = read(file.Get(), buffer, sizeof buffer)) > 0) {
        environment.append(buffer, static_cast<std::size_t>(got));
    }
    for (std::size_t at = 0; at < environment.size();) {
        const std::size_t end = std::min(environment.find('\0', at), environment.size());
        if (environment.compare(at, prefix.size(), prefix) == 0 && end - at >= prefix.size()) {
            return true;
        }
        at = end + 1;
    }
    return false;
}

bool signalProcess(pid_t pid, unsigned long long startTime, int signal) {
    // Held open, the pidfd keeps meaning this process even if it ends and its pid is reused.
    const FileDescriptor handle{static_cast<int>(syscall(SYS_pidfd_open, pid, 0))};
    if (handle.Get() < 0) {
        return false;
    }
    const auto now = readProcess(pid);
    if (!now || now->startTime != startTime) {
        return false;
    }
    return syscall(SYS_pidfd_send_signal, handle.Get(), signal, nullptr, 0) == 0;
}

}  // namespace tlv::server
