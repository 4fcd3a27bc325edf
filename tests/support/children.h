#pragma once
// The children of the calling thread, zombies included, as the kernel lists them.

#include <sys/types.h>

#include <vector>

namespace tlv::test {

std::vector<pid_t> ThreadChildren();

}  // namespace tlv::test
