#pragma once
// The bytes all client connections together may hold in received but unfinished frames. A
// connection takes what it reads from the budget and gives it back as its frames are taken out;
// when the budget is spent it stops reading until another connection gives bytes back (every
// frame has a deadline, so that always happens). Single-threaded: the server's event loop.

#include <cstddef>
#include <deque>
#include <functional>

namespace tlv::server {

class BufferBudget final {
public:
    explicit BufferBudget(std::size_t total) : m_left(total) {}
    BufferBudget(const BufferBudget&) = delete;
    BufferBudget& operator=(const BufferBudget&) = delete;

    // Takes up to wanted bytes; 0 when the budget is spent.
    std::size_t take(std::size_t wanted);
    // Gives bytes back and resumes the connections waiting for room, oldest first.
    void give(std::size_t bytes);
    // Runs resume once bytes were given back.
    void waitForRoom(std::function<void()> resume);

    std::size_t left() const { return m_left; }

private:
    std::size_t m_left;
    std::deque<std::function<void()>> m_waiting;
};

}  // namespace tlv::server
