#pragma once
// What keeps services from outliving tlvsd beyond the parent-death signal of process.h: a
// record (DATA/services.pids) of the process groups and cgroups it started and of the token its
// services' processes carry in their environment (service_grip.h), so that the next tlvsd on
// the same data ends whatever a killed predecessor left behind before it starts anything; and a
// lock (DATA/tlvsd.lock) so that two servers never run the same services at once.

#include <sys/types.h>

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/files/filedescriptor.h"

namespace tlv::server {

// The kernel's start time of a process (clock ticks since boot), or nothing when it is gone.
std::optional<unsigned long long> processStartTime(pid_t pid);

class ServiceRecords final {
public:
    // "" keeps no records (a server without a data folder): its token is its own.
    explicit ServiceRecords(std::string path);

    // The token of this data folder's services, the same for every server run on it.
    const std::string& token() const { return m_token; }

    // Kills what a server that did not stop cleanly left: every process carrying the token,
    // every recorded cgroup, every recorded group whose leader is still the process recorded
    // (a pid now another process's is never signalled). Returns the number of processes,
    // cgroups and groups ended; the records are empty afterwards.
    int endLeftovers();

    // Records a group just started (forgetting groups that have ended meanwhile).
    void add(pid_t group);
    void addCgroup(const std::string& path);
    void forgetCgroup(const std::string& path);

private:
    void load();
    void save() const;

    std::string m_path;
    std::string m_token;
    std::map<pid_t, unsigned long long> m_groups;  // group -> its leader's start time
    std::set<std::string> m_cgroups;
};

// Holds DATA/tlvsd.lock for the life of the server.
class InstanceLock final {
public:
    // False with a message when another server holds the lock or the file cannot be opened.
    bool acquire(const std::string& path, std::string& error);

private:
    tlv::platform::FileDescriptor m_fd{-1};
};

}  // namespace tlv::server
