#pragma once
// Runs one job per target, each on a thread of its own, at most FleetOptions::jobs at once, and
// reports the results on the calling thread in the targets' order: each as soon as it and every
// target before it are done, whatever order they finish in.
//
// States of a target: Waiting -> Running -> Done; or Running -> GivenUp when its deadline
// passes first. Giving up pulls the target's abort line (its session's connect or call fails at
// once as a lost connection), closes its output (what it says while ending is dropped) and
// reports it not responding at once; its thread still ends its run before RunFleet returns,
// which takes no longer than the aborted call needs to fail.
//
// Threads: the job runs on the fleet's threads and must use only what it is handed and what is
// safe to share; report runs on the caller's thread, never two at once.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "session/abortline.h"
#include "tools/tlvadm/targets.h"

struct FleetOptions {
    int jobs = 16;
    // For each target's whole run, counted from its start; none: the calls' own deadlines.
    std::optional<std::chrono::milliseconds> deadline;
};

struct TargetResult {
    int status = 0;   // the job's; meaningless when not responding
    std::string out;  // what the job wrote, up to the moment it was given up
    std::string err;
    bool bNotResponding = false;  // its deadline passed first
};

using TargetJob = std::function<int(const Target& target, std::ostream& out, std::ostream& err,
                                    const std::shared_ptr<SessionAbortLine>& abortLine)>;
using TargetReport = std::function<void(const Target& target, const TargetResult& result)>;

void RunFleet(const std::vector<Target>& targets, const FleetOptions& options, const TargetJob& job,
              const TargetReport& report);
