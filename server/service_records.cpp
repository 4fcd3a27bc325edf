#include "server/service_records.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "server/cgroup.h"
#include "server/log.h"
#include "server/process_tree.h"
#include "server/service_grip.h"

namespace tlv::server {
namespace {

// How long a server starting waits for the cgroups its predecessor left to empty once killed.
constexpr int kCgroupEmptyRounds = 50;
constexpr useconds_t kCgroupEmptyPauseMicroseconds = 20000;

bool groupExists(pid_t group) {
    return kill(-group, 0) == 0 || errno == EPERM;
}

}  // namespace

std::optional<unsigned long long> processStartTime(pid_t pid) {
    const auto process = readProcess(pid);
    return process ? std::optional(process->startTime) : std::nullopt;
}

ServiceRecords::ServiceRecords(std::string path) : m_path(std::move(path)) {
    load();
    if (m_token.empty()) {
        m_token = freshGripToken();
    }
}

// Lines "token HEX", "group PID START", "cgroup PATH"; a bare "PID START" is a group recorded
// by an older server.
void ServiceRecords::load() {
    if (m_path.empty()) {
        return;
    }
    std::ifstream in(m_path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        pid_t group = 0;
        unsigned long long started = 0;
        if (kind == "token") {
            fields >> m_token;
        } else if (kind == "cgroup") {
            std::string path;
            std::getline(fields >> std::ws, path);
            m_cgroups.insert(path);
        } else if ((kind == "group" && fields >> group >> started) ||
                   (std::istringstream(line) >> group >> started)) {
            m_groups[group] = started;
        }
    }
}

int ServiceRecords::endLeftovers() {
    if (m_path.empty()) {
        return 0;
    }
    int ended = 0;
    // A cgroup holds everything its service started, whatever group or session it moved to.
    for (const std::string& cgroup : m_cgroups) {
        if (access(cgroup.c_str(), F_OK) != 0) {
            continue;
        }
        killCgroup(cgroup);
        ++ended;
        for (int round = 0; round < kCgroupEmptyRounds && !removeCgroup(cgroup); ++round) {
            usleep(kCgroupEmptyPauseMicroseconds);
        }
    }
    const std::string prefix = markPrefix(m_token);
    for (const ProcessInfo& process : allProcesses()) {
        if (process.pid != getpid() && carriesMark(process.pid, prefix) &&
            signalProcess(process.pid, process.startTime, SIGKILL)) {
            ++ended;
        }
    }
    for (const auto& [group, started] : m_groups) {
        const auto leader = processStartTime(group);
        if (group <= 1 || (leader && *leader != started) || !groupExists(group)) {
            continue;  // ended, or the number now belongs to another process
        }
        if (kill(-group, SIGKILL) == 0) {
            ++ended;
        }
    }
    m_groups.clear();
    m_cgroups.clear();
    save();
    return ended;
}

void ServiceRecords::add(pid_t group) {
    if (m_path.empty()) {
        return;
    }
    std::erase_if(m_groups, [](const auto& item) { return !groupExists(item.first); });
    if (const auto started = processStartTime(group)) {
        m_groups[group] = *started;
    }
    save();
}

void ServiceRecords::addCgroup(const std::string& path) {
    if (!m_path.empty() && m_cgroups.insert(path).second) {
        save();
    }
}

void ServiceRecords::forgetCgroup(const std::string& path) {
    if (m_cgroups.erase(path) != 0) {
        save();
    }
}

// Written to a temporary file and renamed, so a kill -9 in between leaves the old records whole.
void ServiceRecords::save() const {
    if (m_path.empty()) {
        return;
    }
    const std::string temporary = m_path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "token " << m_token << '\n';
        for (const auto& [group, started] : m_groups) {
            out << "group " << group << ' ' << started << '\n';
        }
        for (const std::string& cgroup : m_cgroups) {
            out << "cgroup " << cgroup << '\n';
        }
        if (!out.flush()) {
            logEvent("cannot write %s", temporary.c_str());
            return;
        }
    }
    if (std::rename(temporary.c_str(), m_path.c_str()) != 0) {
        logEvent("cannot write %s: %s", m_path.c_str(), std::strerror(errno));
    }
}

bool InstanceLock::acquire(const std::string& path, std::string& error) {
    m_fd.Reset(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (m_fd.Get() < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (flock(m_fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        error = "another tlvsd serves this data folder (" + path + " is locked)";
        return false;
    }
    return true;
}

}  // namespace tlv::server
