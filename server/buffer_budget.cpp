#include "server/buffer_budget.h"

#include <algorithm>

namespace tlv::server {

std::size_t BufferBudget::take(std::size_t wanted) {
    const std::size_t granted = std::min(wanted, m_left);
    m_left -= granted;
    return granted;
}

void BufferBudget::give(std::size_t bytes) {
    m_left += bytes;
    if (bytes == 0) {
        return;
    }
    // A resumed connection may take the room again and wait anew: resume only those waiting now.
    std::deque<std::function<void()>> waiting;
    waiting.swap(m_waiting);
    for (auto& resume : waiting) {
        resume();
    }
}

void BufferBudget::waitForRoom(std::function<void()> resume) {
    m_waiting.push_back(std::move(resume));
}

}  // namespace tlv::server
