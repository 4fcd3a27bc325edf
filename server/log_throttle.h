#pragma once
// At most one line per period for an event that can repeat millions of times a second (accept
// failing with every descriptor in use); the lines held back are counted.

#include <chrono>
#include <cstddef>

namespace tlv::server {

class LogThrottle final {
public:
    using Clock = std::chrono::steady_clock;
    explicit LogThrottle(std::chrono::milliseconds period) : m_period(period) {}

    // True when a line may be written now; held back counts the lines suppressed since the
    // last one written (reset by this call when it returns true).
    bool allow(Clock::time_point now, std::size_t& heldBack) {
        if (m_written && now - m_last < m_period) {
            ++m_heldBack;
            return false;
        }
        m_written = true;
        m_last = now;
        heldBack = m_heldBack;
        m_heldBack = 0;
        return true;
    }

private:
    std::chrono::milliseconds m_period;
    Clock::time_point m_last{};
    std::size_t m_heldBack = 0;
    bool m_written = false;
};

}  // namespace tlv::server
