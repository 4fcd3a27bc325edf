#pragma once
// A socket listening on 127.0.0.1 at a port of the system's choosing. Until someone accepts,
// the system completes connections into its backlog, so a client connects and then hears
// nothing: a server that never answers. Shut down, it wakes an accept waiting on it.

#include <sys/time.h>

#include <cstdint>

namespace tlv::test {

struct LoopbackListener {
    LoopbackListener();
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;
    void wake() const;
    // The next client, whose reads give up after wait; -1 when woken instead.
    int acceptClient(timeval wait) const;

    int descriptor = -1;
    std::uint16_t port = 0;
};

}  // namespace tlv::test
