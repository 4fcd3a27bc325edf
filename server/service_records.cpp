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

#include "server/log.h"

namespace tlv::server {
namespace {

bool groupExists(pid_t group) {
    return kill(-group, 0) == 0 || errno == EPERM;
}

}  // namespace

std::optional<unsigned long long> processStartTime(pid_t pid) {
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
    std::string field;
    for (int index = 3; index < 22 && fields >> field; ++index) {
    }
    unsigned long long start = 0;
    return fields >> start ? std::optional(start) : std::nullopt;
}

int ServiceRecords::endLeftovers() {
    if (m_path.empty()) {
        return 0;
    }
    std::ifstream in(m_path);
    pid_t group = 0;
    unsigned long long started = 0;
    int killed = 0;
    while (in >> group >> started) {
        const auto leader = processStartTime(group);
        if (group <= 1 || (leader && *leader != started) || !groupExists(group)) {
            continue;  // ended, or the number now belongs to another process
        }
        if (kill(-group, SIGKILL) == 0) {
            ++killed;
        }
    }
    m_groups.clear();
    save();
    return killed;
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

// Written to a temporary file and renamed, so a kill -9 in between leaves the old records whole.
void ServiceRecords::save() const {
    const std::string temporary = m_path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [group, started] : m_groups) {
            out << group << ' ' << started << '\n';
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

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

bool InstanceLock::acquire(const std::string& path, std::string& error) {
    m_fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        error = "another tlvsd serves this data folder (" + path + " is locked)";
        return false;
    }
    return true;
}

}  // namespace tlv::server
