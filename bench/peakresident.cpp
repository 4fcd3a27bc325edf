#include "bench/peakresident.h"

#include <malloc.h>

#include <fstream>

double statusMB(const std::string& name, const std::string& process) {
    std::ifstream status("/proc/" + process + "/status");
    std::string label;
    while (status >> label) {
        if (label == name + ":") {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes / 1024.0;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

void resetPeakResident() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}
