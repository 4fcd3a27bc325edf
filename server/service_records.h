#pragma once
// What keeps services from outliving tlvsd beyond the parent-death signal of process.h: a
// record of the process groups it started (DATA/services.pids), so that the next tlvsd on the
// same data kills whatever a killed predecessor left behind before it starts anything, and a
// lock (DATA/tlvsd.lock) so that two servers never run the same services at once.

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>

namespace tlv::server {

// The kernel's start time of a process (clock ticks since boot), or nothing when it is gone.
std::optional<unsigned long long> processStartTime(pid_t pid);

class ServiceRecords final {
public:
    // "" keeps no records (a server without a data folder).
    explicit ServiceRecords(std::string path) : m_path(std::move(path)) {}

    // Kills every recorded group that still runs: left behind by a server that did not stop
    // cleanly. A record whose leader's pid now belongs to another process is skipped. Returns
    // the number of groups killed; the records are empty afterwards.
    int endLeftovers();

    // Records a group just started (forgetting groups that have ended meanwhile).
    void add(pid_t group);

private:
    void save() const;

    std::string m_path;
    std::map<pid_t, unsigned long long> m_groups;  // group -> its leader's start time
};

// Holds DATA/tlvsd.lock for the life of the server.
class InstanceLock final {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False with a message when another server holds the lock or the file cannot be opened.
    bool acquire(const std::string& path, std::string& error);

private:
    int m_fd = -1;
};

}  // namespace tlv::server
