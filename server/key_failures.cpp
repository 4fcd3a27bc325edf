#include "server/key_failures.h"

#include <algorithm>

#include "server/source_address.h"

namespace tlv::server {

void KeyFailures::refill(Bucket& bucket, Clock::time_point now) {
    const std::chrono::duration<double> passed = now - bucket.refilled;
    bucket.tokens = std::min(kFailureBurst, bucket.tokens + passed.count() * kFailuresPerSecond);
    bucket.refilled = now;
}

void KeyFailures::noteFailure(const asio::ip::address& address, Clock::time_point now) {
    const asio::ip::address source = sourceOf(address);
    auto found = m_buckets.find(source);
    if (found == m_buckets.end()) {
        makeRoom(now);
        found = m_buckets.emplace(source, Bucket{kFailureBurst, now}).first;
    }
    refill(found->second, now);
    found->second.tokens = std::max(0.0, found->second.tokens - 1);
}

bool KeyFailures::isThrottled(const asio::ip::address& address, Clock::time_point now) {
    const auto found = m_buckets.find(sourceOf(address));
    if (found == m_buckets.end()) {
        return false;
    }
    refill(found->second, now);
    return found->second.tokens < 1;
}

void KeyFailures::makeRoom(Clock::time_point now) {
    if (m_buckets.size() < m_maxSources) {
        return;
    }
    for (auto it = m_buckets.begin(); it != m_buckets.end();) {
        refill(it->second, now);
        it = it->second.tokens >= kFailureBurst ? m_buckets.erase(it) : std::next(it);
    }
    if (m_buckets.size() < m_maxSources) {
        return;
    }
    const auto stalest = std::min_element(
        m_buckets.begin(), m_buckets.end(),
        [](const auto& a, const auto& b) { return a.second.tokens > b.second.tokens; });
    m_buckets.erase(stalest);
}

}  // namespace tlv::server
