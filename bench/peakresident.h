#pragma once
// The process's resident memory as /proc/self/status gives it, and a reset of its peak, for the
// benchmarks that report what one run needs at most.

#include <string>

// A "Name:   N kB" line of /proc/PROCESS/status (VmRSS, VmHWM) in MB, of this process unless
// another's pid is given; 0 when it cannot be read.
double statusMB(const std::string& name, const std::string& process = "self");

// Sets the peak resident mark (VmHWM) to what is resident now, once the heap gave back what
// earlier runs freed (else the run would reuse it unseen).
void resetPeakResident();
