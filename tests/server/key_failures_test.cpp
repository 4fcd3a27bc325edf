#include "server/key_failures.h"

#include <gtest/gtest.h>

namespace tlv::server {
namespace {

using namespace std::chrono_literals;
using Clock = KeyFailures::Clock;

asio::ip::address address(const std::string& text) {
    return asio::ip::make_address(text);
}

TEST(KeyFailures, ASourceIsThrottledAfterItsBurstAndLetInAgainAsItsBucketRefills) {
    KeyFailures failures;
    const Clock::time_point start{};
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(failures.isThrottled(address("192.0.2.7"), start)) << i;
        failures.noteFailure(address("192.0.2.7"), start);
    }
    EXPECT_TRUE(failures.isThrottled(address("192.0.2.7"), start));
    EXPECT_FALSE(failures.isThrottled(address("192.0.2.8"), start)) << "its neighbour is not";
    EXPECT_TRUE(failures.isThrottled(address("192.0.2.7"), start + 400ms));
    EXPECT_FALSE(failures.isThrottled(address("192.0.2.7"), start + 500ms)) << "one more a half second";
    failures.noteFailure(address("192.0.2.7"), start + 500ms);
    EXPECT_TRUE(failures.isThrottled(address("192.0.2.7"), start + 500ms));
}

// A host picks from its whole /64: the prefix is the source, for IPv4 the address.
TEST(KeyFailures, AnIpv6SourceIsItsSlash64AndAMappedIpv4AddressIsThatAddress) {
    KeyFailures failures;
    const Clock::time_point start{};
    for (int i = 0; i < 5; ++i) {
        failures.noteFailure(address("2001:db8:1:2::" + std::to_string(i + 1)), start);
    }
    EXPECT_TRUE(failures.isThrottled(address("2001:db8:1:2:ffff::9"), start));
    EXPECT_FALSE(failures.isThrottled(address("2001:db8:1:3::1"), start));
    for (int i = 0; i < 5; ++i) {
        failures.noteFailure(address("::ffff:192.0.2.9"), start);
    }
    EXPECT_TRUE(failures.isThrottled(address("192.0.2.9"), start));
}

TEST(KeyFailures, RemembersABoundedNumberOfSourcesForgettingTheRecoveredFirst) {
    KeyFailures failures(3);
    const Clock::time_point start{};
    failures.noteFailure(address("192.0.2.1"), start);
    for (int i = 0; i < 5; ++i) {
        failures.noteFailure(address("192.0.2.2"), start + 10s);
    }
    failures.noteFailure(address("192.0.2.3"), start + 10s);
    failures.noteFailure(address("192.0.2.4"), start + 10s);  // 192.0.2.1 has recovered by now
    EXPECT_EQ(failures.sources(), 3u);
    EXPECT_TRUE(failures.isThrottled(address("192.0.2.2"), start + 10s)) << "the failing one stays";
}

}  // namespace
}  // namespace tlv::server
