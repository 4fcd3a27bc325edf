#pragma once
// Starting a detached program as another user, the way a service manager starts a service
// under its account: the child takes the user's uid, primary group and supplementary groups
// (as initgroups would give them) and HOME, USER and LOGNAME, before it runs the program.
// Otherwise it starts as StartDetachedProgram does (own session, standard input from /dev/null,
// no other descriptor of the caller's but standard output and error, no shell).
//
// posix_spawn cannot change the user, so this forks and execs. Everything the child needs is
// made before the fork; between fork and exec the child makes only system calls.

#include <sys/types.h>

#include <string>
#include <vector>

namespace tlv::platform {

struct UserIdentity {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
    std::string home;
};

// The local user of that name; false when there is none.
bool LookUpUser(const std::string& name, UserIdentity& user);

// False with a message when the program could not be started as the user, including when this
// process may not take the user's identity (it is neither root nor that user).
bool StartDetachedProgramAs(const std::vector<std::string>& argv, const UserIdentity& user,
                            pid_t& pid, std::string& message);

}  // namespace tlv::platform
