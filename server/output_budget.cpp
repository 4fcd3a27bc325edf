#include "server/output_budget.h"

#include <algorithm>

namespace tlv::server {

void OutputBudget::charge(const void* owner, std::size_t bytes, Drop drop) {
    while (m_total + bytes > m_limit && !m_waiting.empty()) {
        Drop oldest = std::move(m_waiting.front().drop);
        discharge(m_waiting.front().owner);
        oldest();
    }
    m_waiting.push_back({owner, bytes, std::move(drop)});
    m_total += bytes;
}

void OutputBudget::discharge(const void* owner) {
    const auto found = std::find_if(m_waiting.begin(), m_waiting.end(),
                                    [owner](const Waiting& item) { return item.owner == owner; });
    if (found != m_waiting.end()) {
        m_total -= found->bytes;
        m_waiting.erase(found);
    }
}

}  // namespace tlv::server
