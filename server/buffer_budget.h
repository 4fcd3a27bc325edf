#pragma once
// The bytes all client connections together may hold in frames being received. A frame larger
// than what a connection may hold on its own is read only once its whole size is reserved here,
// so every frame that is being read can complete: frames never hold each other up half-read.
// A connection whose frame finds no room stops reading until another gives bytes back (every
// frame has a deadline, so that always happens).
//
// The last quarter of the budget is kept for frames of at most a sixteenth of it, so that a few
// of the largest frames, however slowly they arrive, cannot keep an ordinary import out.
// Single-threaded: the server's event loop.

#include <cstddef>
#include <deque>
#include <functional>

namespace tlv::server {

class BufferBudget final {
public:
    explicit BufferBudget(std::size_t total) : m_total(total), m_left(total) {}
    BufferBudget(const BufferBudget&) = delete;
    BufferBudget& operator=(const BufferBudget&) = delete;

    // Takes all of bytes, or nothing (false) when there is not room for them.
    bool reserve(std::size_t bytes);
    // Gives bytes back and resumes the connections waiting for room, oldest first.
    void give(std::size_t bytes);
    // Runs resume once bytes were given back.
    void waitForRoom(std::function<void()> resume);

    std::size_t left() const { return m_left; }

private:
    std::size_t m_total;
    std::size_t m_left;
    std::deque<std::function<void()>> m_waiting;
};

}  // namespace tlv::server
