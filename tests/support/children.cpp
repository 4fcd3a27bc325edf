#include "tests/support/children.h"

#include <unistd.h>

#include <fstream>
#include <string>

namespace tlv::test {

std::vector<pid_t> ThreadChildren() {
    std::ifstream file("/proc/self/task/" + std::to_string(gettid()) + "/children");
    std::vector<pid_t> children;
    for (pid_t pid = 0; file >> pid;)
        children.push_back(pid);
    return children;
}

}  // namespace tlv::test
