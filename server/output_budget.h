#pragma once
// The bytes of answers written to clients but not yet taken by them, over all clients (as
// Redis's client output buffer limit). Each client has at most one part of an answer in flight,
// so what one client holds is bounded by the frame size; this bounds what all of them hold
// together. When a part would take the total over the limit, the clients whose parts have waited
// longest are dropped first: they are the ones not reading. Single-threaded: the server's loop.

#include <cstddef>
#include <functional>
#include <list>

namespace tlv::server {

class OutputBudget final {
public:
    using Drop = std::function<void()>;

    explicit OutputBudget(std::size_t limit) : m_limit(limit) {}
    OutputBudget(const OutputBudget&) = delete;
    OutputBudget& operator=(const OutputBudget&) = delete;

    // Counts bytes as waiting to be taken by owner (which has nothing counted yet); drop ends an
    // owner (and must discharge it). Owners waiting longest are dropped while the total would
    // exceed the limit.
    void charge(const void* owner, std::size_t bytes, Drop drop);
    // owner's part was taken, or the owner went away.
    void discharge(const void* owner);

    std::size_t total() const { return m_total; }

private:
    struct Waiting {
        const void* owner;
        std::size_t bytes;
        Drop drop;
    };
    std::size_t m_limit;
    std::size_t m_total = 0;
    std::list<Waiting> m_waiting;  // oldest first
};

}  // namespace tlv::server
