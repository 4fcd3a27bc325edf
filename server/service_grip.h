#pragma once
// Every process one start of a service made, wherever it went: its process group, the
// processes carrying its mark in their environment (TLVSD_GRIP=..., inherited by all it starts,
// whatever group or session they move to), their descendants by /proc parent links, and its
// cgroup where it has one. tlvsd is a child subreaper, so a service's orphans are its children
// and are reaped; a stop ends the whole tree.

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "server/process_tree.h"

namespace tlv::server {

class ServiceGrip final {
public:
    ServiceGrip(std::string mark, std::string cgroup)
        : m_mark(std::move(mark)), m_cgroup(std::move(cgroup)) {}

    // The environment entry every process of this start carries.
    const std::string& mark() const { return m_mark; }
    // Its cgroup folder; "" when it has none.
    const std::string& cgroup() const { return m_cgroup; }
    void setLeader(pid_t leader) { m_leader = leader; }

    // Sends signal to every process of the start (SIGKILL through cgroup.kill where it can).
    void signalAll(int signal) const;
    // True once none is left; its cgroup is then removed.
    bool release() const;

private:
    std::vector<ProcessInfo> members() const;

    std::string m_mark;
    std::string m_cgroup;
    pid_t m_leader = 0;
};

// Makes the grip of each start: marks of this server (its token) and, when given a cgroup
// folder, a cgroup of its own under it.
class ServiceGrips final {
public:
    ServiceGrips();  // a token of its own, no cgroups
    void configure(std::string token, std::optional<std::string> cgroupParent);

    const std::string& token() const { return m_token; }
    std::unique_ptr<ServiceGrip> make();

private:
    std::string m_token;
    std::optional<std::string> m_cgroupParent;
    unsigned long long m_serial = 0;
};

// "TLVSD_GRIP=TOKEN.": the start of every mark of the server whose token it is.
std::string markPrefix(const std::string& token);

// A fresh token: 16 hexadecimal digits.
std::string freshGripToken();

}  // namespace tlv::server
