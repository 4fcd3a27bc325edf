#pragma once
// What /proc tells of processes, for keeping every process a service starts in tlvsd's grip:
// who descends from whom, which group and session each is in, and whether a process carries a
// service's mark in its environment (inherited by everything the service starts, whatever
// group or session it moves to). Signals go through a pidfd after the process was checked to
// be the one meant, so a pid that was reused meanwhile is never signalled.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tlv::server {

struct ProcessInfo {
    pid_t pid = 0;
    pid_t parent = 0;
    pid_t group = 0;
    pid_t session = 0;
    unsigned long long startTime = 0;  // clock ticks since boot: with the pid, one process
};

// The process as /proc/PID/stat tells it; nothing once it is gone.
std::optional<ProcessInfo> readProcess(pid_t pid);
// Every process /proc lists.
std::vector<ProcessInfo> allProcesses();

// Whether the process's environment holds an entry beginning with prefix ("NAME=VALUE...").
bool carriesMark(pid_t pid, const std::string& prefix);

// Sends signal to the process if it is still the one that started at startTime. True when sent.
bool signalProcess(pid_t pid, unsigned long long startTime, int signal);

}  // namespace tlv::server
