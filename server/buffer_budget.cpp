#include "server/buffer_budget.h"

namespace tlv::server {

bool BufferBudget::reserve(std::size_t bytes) {
    const std::size_t keptForSmall = bytes <= m_total / 16 ? 0 : m_total / 4;
    if (bytes > m_left || m_left - bytes < keptForSmall) {
        return false;
    }
    m_left -= bytes;
    return true;
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
