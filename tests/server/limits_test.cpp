// What key holders can make tlvsd hold, against a real tlvsd: frames being received share a
// budget that always lets a frame complete.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "s100/wire/frame.h"
#include "tests/server/admin_calls.h"
#include "tests/support/tls_test_client.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

using namespace std::chrono_literals;

// Contents of about megabytes MiB: an array of strings of 1 MiB less a little.
tlv::wire::KVSet contentsOf(int megabytes) {
    tlv::wire::KVSet set;
    auto* pair = set.add_pairs();
    pair->set_key(KEY_Resources);
    auto* array = pair->mutable_value()->mutable_array_value();
    array->set_element_type(tlv::wire::VALUE_TYPE_STRING);
    for (int i = 0; i < megabytes; ++i) {
        array->add_elements()->set_string_value(std::string((1u << 20) - 64, 'a' + i % 26));
    }
    return set;
}

std::string frameOf(tlv::wire::Request request) {
    tlv::wire::ClientFrame frame;
    request.set_id(1);
    *frame.mutable_request() = std::move(request);
    std::string bytes;
    tlv::wire::encodeFrame(frame, bytes);
    return bytes;
}

TEST(FrameBudget, LargeFramesStalledMidWayKeepNoImportOut) {
    TempDir data;
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path()}));
    // Ten key holders each send half of a frame of the largest size, more than the budget for
    // all frames together, and stall.
    const std::string large = frameOf(addProfile("Large", "Application", contentsOf(16)));
    ASSERT_GT(large.size(), 15u << 20);
    ASSERT_LE(large.size(), tlv::wire::kMaxFrameBytes);
    const std::string half = large.substr(0, large.size() / 2);
    std::atomic<int> proved{0};
    std::vector<std::thread> stalled;
    for (int i = 0; i < 10; ++i) {
        stalled.emplace_back([&] {
            TlsTestClient client{server.port(), {.key = testAdminKey()}};
            if (client.open()) {
                ++proved;
                client.send(half);  // blocks while tlvsd does not read; fails once it is gone
            }
        });
    }
    ASSERT_TRUE(waitUntil([&] { return proved == 10; }));
    std::this_thread::sleep_for(300ms);  // their bytes are in

    auto client = server.connect();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(call(*client, addProfile("Imported", "Application", contentsOf(1))), CTerr_NoError);
    tlv::wire::Response response;
    ASSERT_EQ(call(*client, getProfileInfo("Imported", "Application", true), &response),
              CTerr_NoError);
    EXPECT_EQ(response.result().pairs(2).value().array_value().elements(0).kvset_value()
                  .SerializeAsString(),
              contentsOf(1).SerializeAsString());
    server.kill();
    for (auto& thread : stalled) {
        thread.join();
    }
}

TEST(FrameBudget, TenLargeFramesAtOnceAreAllAnswered) {
    TempDir data;
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path()}));
    constexpr int kSenders = 10;
    std::vector<std::thread> senders;
    std::vector<CTerror> outcomes(kSenders, 0);
    for (int i = 0; i < kSenders; ++i) {
        senders.emplace_back([&, i] {
            TlsTestClient client{server.port(), {.key = testAdminKey()}};
            client.setReceiveTimeout(20);
            tlv::wire::ServerFrame reply;
            const std::string frame = frameOf(
                addProfile("Large" + std::to_string(i), "Application", contentsOf(15)));
            if (client.open() && client.send(frame) && client.receive(reply)) {
                outcomes[i] = reply.response().error();
            }
        });
    }
    for (auto& sender : senders) {
        sender.join();
    }
    EXPECT_EQ(outcomes, std::vector<CTerror>(kSenders, CTerr_NoError));
}

}  // namespace
}  // namespace tlv::test
