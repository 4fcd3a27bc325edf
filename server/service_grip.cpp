#include "server/service_grip.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <set>

#include "server/cgroup.h"

namespace tlv::server {

std::string markPrefix(const std::string& token) {
    return "TLVSD_GRIP=" + token + ".";
}

std::string freshGripToken() {
    std::random_device random;
    std::string token;
    constexpr const char* kDigits = "0123456789abcdef";
    for (int i = 0; i < 16; ++i) {
        token.push_back(kDigits[random() % 16]);
    }
    return token;
}

std::vector<ProcessInfo> ServiceGrip::members() const {
    const std::vector<ProcessInfo> all = allProcesses();
    std::set<pid_t> inside;
    if (!m_cgroup.empty()) {
        const std::vector<pid_t> listed = cgroupMembers(m_cgroup);
        inside.insert(listed.begin(), listed.end());
    }
    for (const ProcessInfo& process : all) {
        if ((m_leader > 0 && process.group == m_leader) || carriesMark(process.pid, m_mark)) {
            inside.insert(process.pid);
        }
    }
    // Descendants of members that scrubbed their environment still follow their parents.
    for (bool grew = true; grew;) {
        grew = false;
        for (const ProcessInfo& process : all) {
            if (inside.count(process.parent) != 0 && inside.insert(process.pid).second) {
                grew = true;
            }
        }
    }
    inside.erase(getpid());
    std::vector<ProcessInfo> members;
    for (const ProcessInfo& process : all) {
        if (inside.count(process.pid) != 0) {
            members.push_back(process);
        }
    }
    return members;
}

void ServiceGrip::signalAll(int signal) const {
    if (signal == SIGKILL && !m_cgroup.empty()) {
        killCgroup(m_cgroup);
    }
    for (const ProcessInfo& member : members()) {
        signalProcess(member.pid, member.startTime, signal);
    }
}

bool ServiceGrip::release() const {
    if (!members().empty()) {
        return false;
    }
    if (!m_cgroup.empty()) {
        removeCgroup(m_cgroup);
    }
    return true;
}

ServiceGrips::ServiceGrips() : m_token(freshGripToken()) {}

void ServiceGrips::configure(std::string token, std::optional<std::string> cgroupParent) {
    m_token = std::move(token);
    m_cgroupParent = std::move(cgroupParent);
}

std::unique_ptr<ServiceGrip> ServiceGrips::make() {
    const std::string serial = std::to_string(++m_serial);
    // The dot after the serial keeps start 1's mark from being the beginning of start 12's.
    std::string mark = markPrefix(m_token) + serial + ".";
    std::string cgroup;
    if (m_cgroupParent) {
        cgroup = *m_cgroupParent + "/tlvsd-" + m_token + "-" + serial;
        if (!createCgroup(cgroup)) {
            cgroup.clear();  // the marks and groups still hold the start
        }
    }
    return std::make_unique<ServiceGrip>(std::move(mark), std::move(cgroup));
}

}  // namespace tlv::server
