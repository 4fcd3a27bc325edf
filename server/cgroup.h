#pragma once
// A cgroup (v2) per service, where tlvsd may make them: under its own cgroup when that is
// writable, as a systemd unit with Delegate=yes or a root in a container makes it. Whatever a
// service starts stays in its cgroup, however it leaves its group and session, and cgroup.kill
// ends all of it at once.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tlv::server {

// The folder of tlvsd's own cgroup in the cgroup v2 tree, if there is one it can write in.
std::optional<std::string> writableOwnCgroup();

// Makes the cgroup folder; false when it cannot.
bool createCgroup(const std::string& path);
// The processes in the cgroup.
std::vector<pid_t> cgroupMembers(const std::string& path);
// Kills every process in it (cgroup.kill, or one by one where the kernel has none).
void killCgroup(const std::string& path);
// Removes the cgroup once it is empty; false while processes remain (or it is gone already).
bool removeCgroup(const std::string& path);

}  // namespace tlv::server
