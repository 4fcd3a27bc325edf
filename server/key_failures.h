#pragma once
// Slows down a source that keeps failing the admin key, without slowing anyone else: each source
// (source_address.h) has a bucket of kFailureBurst failed key proofs that refills at
// kFailuresPerSecond. While a source's bucket is empty its new connections are closed as they
// are accepted, before any TLS work is spent on them.
//
// At most kMaxSources are remembered; a source whose bucket is full again is forgotten first,
// then the one that failed longest ago.

#include <asio.hpp>
#include <chrono>
#include <cstddef>
#include <map>

namespace tlv::server {

inline constexpr double kFailureBurst = 5;
inline constexpr double kFailuresPerSecond = 2;
inline constexpr std::size_t kMaxSources = 10000;

class KeyFailures final {
public:
    using Clock = std::chrono::steady_clock;

    explicit KeyFailures(std::size_t maxSources = kMaxSources) : m_maxSources(maxSources) {}

    // A client from address failed its key proof.
    void noteFailure(const asio::ip::address& address, Clock::time_point now);
    // Connections from address are to be closed at once.
    bool isThrottled(const asio::ip::address& address, Clock::time_point now);

    std::size_t sources() const { return m_buckets.size(); }

private:
    struct Bucket {
        double tokens = kFailureBurst;
        Clock::time_point refilled;
    };
    static void refill(Bucket& bucket, Clock::time_point now);
    void makeRoom(Clock::time_point now);

    std::size_t m_maxSources;
    std::map<asio::ip::address, Bucket> m_buckets;
};

}  // namespace tlv::server
