#include "server/cgroup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <sstream>

namespace tlv::server {
namespace {

// The mount point of the cgroup v2 tree, from /proc/self/mountinfo.
std::optional<std::string> cgroup2Mount() {
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    while (std::getline(mounts, line)) {
        const std::size_t separator = line.find(" - ");
        if (separator == std::string::npos || line.compare(separator + 3, 8, "cgroup2 ") != 0) {
            continue;
        }
        std::istringstream fields(line);
        std::string skipped;
        std::string mountPoint;
        if (fields >> skipped >> skipped >> skipped >> skipped >> mountPoint) {
            return mountPoint;
        }
    }
    return std::nullopt;
}

// tlvsd's own cgroup path within the v2 tree: the "0::" line of /proc/self/cgroup.
std::optional<std::string> ownCgroupPath() {
    std::ifstream cgroups("/proc/self/cgroup");
    std::string line;
    while (std::getline(cgroups, line)) {
        if (line.rfind("0::", 0) == 0) {
            return line.substr(3);
        }
    }
    return std::nullopt;
}

bool writeFile(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written;
}

}  // namespace

std::optional<std::string> writableOwnCgroup() {
    const auto mount = cgroup2Mount();
    const auto own = ownCgroupPath();
    if (!mount || !own) {
        return std::nullopt;
    }
    std::string folder = *mount + (*own == "/" ? std::string{} : *own);
    if (access(folder.c_str(), W_OK) != 0 || access((folder + "/cgroup.procs").c_str(), W_OK) != 0) {
        return std::nullopt;
    }
    return folder;
}

bool createCgroup(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

std::vector<pid_t> cgroupMembers(const std::string& path) {
    std::ifstream procs(path + "/cgroup.procs");
    std::vector<pid_t> members;
    pid_t pid = 0;
    while (procs >> pid) {
        members.push_back(pid);
    }
    return members;
}

void killCgroup(const std::string& path) {
    if (writeFile(path + "/cgroup.kill", "1")) {
        return;
    }
    // Kernels before 5.14 have no cgroup.kill: one by one, as listed.
    for (const pid_t member : cgroupMembers(path)) {
        kill(member, SIGKILL);
    }
}

bool removeCgroup(const std::string& path) {
    return rmdir(path.c_str()) == 0;
}

}  // namespace tlv::server
