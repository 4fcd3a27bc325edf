#pragma once
// Starting service executables: argv split at blanks, never through a shell, each in its own
// process group, with its grip's mark in its environment and in its cgroup where it has one, so
// that a stop reaches everything it started (service_grip.h), and each killed by the kernel
// when tlvsd dies (parent-death signal), so that none runs unsupervised.

#include <sys/types.h>

#include <string>

namespace tlv::server {

// True when the first word names an executable regular file: a path when it holds a '/',
// otherwise looked up in PATH.
bool executableExists(const std::string& commandLine);

// The program of a command line: its first word ("" for none).
std::string programOf(const std::string& commandLine);

// Where a started process is put: an environment entry it carries (beside tlvsd's own
// environment) and the cgroup it joins ("" for none).
struct Placement {
    std::string mark;
    std::string cgroup;
};

// Starts the command line with stdin from /dev/null and stdout and stderr on outputFd (which
// the caller keeps and closes). Returns the pid, or -1 with errno-style errorNumber.
pid_t spawnService(const std::string& commandLine, int outputFd, const Placement& placement,
                   int& errorNumber);

}  // namespace tlv::server
