// Fault injection, many clients and hostile input, against a real tlvsd.
#include <gtest/gtest.h>

#include <thread>

#include "s100/wire/frame.h"
#include "tests/server/admin_calls.h"
#include "tests/support/raw_socket.h"
#include "tests/support/tls_test_client.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

using namespace std::chrono_literals;
using tlv::wire::Response;

TEST(FaultInjection, CountedFailureThenNormalAnswersAndUncountedForever) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--fail", "GetServerLevel=0x01600436x2", "--fail",
                              "GetSPInfo=0x01600427", "--provider", "Board=available"}));
    auto client = server.connect();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(call(*client, getServerLevel()), CTerr_NotFound);
    EXPECT_EQ(call(*client, getServerLevel()), CTerr_NotFound);
    EXPECT_EQ(call(*client, getServerLevel()), CTerr_NoError);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(call(*client, getSPInfo()), CTerr_InvalidArgument);
    }
    EXPECT_EQ(call(*client, setLevel(2)), CTerr_NoError) << "other calls are untouched";
}

TEST(FaultInjection, DelayedAnswerTimesOutTheCallAndKillsThatConnectionOnly) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--delay", "GetServiceState=1500", "--delay", "GetServerLevel=100"}));
    auto patient = server.connect(5s);
    auto hasty = server.connect(300ms);
    ASSERT_NE(patient, nullptr);
    ASSERT_NE(hasty, nullptr);

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(call(*patient, getServerLevel()), CTerr_NoError);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 100ms);

    EXPECT_EQ(call(*hasty, getServiceState()), CTerr_ConnectionLost);
    EXPECT_EQ(call(*hasty, getServerLevel()), CTerr_ConnectionLost);
    EXPECT_EQ(call(*patient, getServiceState()), CTerr_NotFound);
}

TEST(Clients, TwentyAtOnceEachSeeTheirOwnAnswers) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({}));
    constexpr int kClients = 20;
    std::vector<std::thread> threads;
    std::vector<int> failures(kClients, 0);
    for (int i = 0; i < kClients; ++i) {
        threads.emplace_back([&, i] {
            auto client = server.connect();
            if (client == nullptr) {
                failures[i] = 1000;
                return;
            }
            const std::string name = "P" + std::to_string(i);
            for (int round = 0; round < 10; ++round) {
                const std::string profile = name + "_" + std::to_string(round);
                failures[i] +=
                    call(*client, addProfile(profile, "Application",
                                             stringSet(KEY_AsiName, profile))) != CTerr_NoError;
                Response response;
                failures[i] +=
                    call(*client, getProfileInfo(profile, "", true), &response) != CTerr_NoError;
                failures[i] += strings(response.result(), KEY_ProfileNames) !=
                               std::vector<std::string>{profile};
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(kClients, 0));
    auto client = server.connect();
    ASSERT_NE(client, nullptr);
    Response response;
    ASSERT_EQ(call(*client, getProfileInfo("", "", false), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_ProfileNames).size(), 200u);
}

// Requests that arrive together are answered one at a time, each answer in its place, and a
// change takes effect for the requests behind it; thousands at once are answered as one.
TEST(Clients, RequestsSentTogetherAreAnsweredInTheirOrder) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({}));
    TlsTestClient client{server.port(), {.key = testAdminKey()}};
    ASSERT_TRUE(client.open());
    constexpr std::uint64_t kRequests = 3000;
    constexpr std::uint64_t kChangeAt = 1500;
    std::string frames;
    for (std::uint64_t id = 1; id <= kRequests; ++id) {
        tlv::wire::ClientFrame frame;
        *frame.mutable_request() = id == kChangeAt ? setLevel(2) : getServerLevel();
        frame.mutable_request()->set_id(id);
        ASSERT_TRUE(tlv::wire::encodeFrame(frame, frames));
    }
    ASSERT_TRUE(client.send(frames));
    for (std::uint64_t id = 1; id <= kRequests; ++id) {
        tlv::wire::ServerFrame reply;
        ASSERT_TRUE(client.receive(reply)) << "answer " << id;
        ASSERT_EQ(reply.response().id(), id);
        ASSERT_EQ(reply.response().error(), CTerr_NoError);
        if (id != kChangeAt) {
            ASSERT_EQ(reply.response().level(), id < kChangeAt ? 1 : 2) << "answer " << id;
        }
    }
}

TEST(Clients, HostileClientsAreDroppedWithoutDisturbingOthers) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({}));
    auto good = server.connect();
    ASSERT_NE(good, nullptr);

    RawSocket garbage{server.port()};  // not TLS at all
    ASSERT_TRUE(garbage.connected());
    ASSERT_TRUE(garbage.send(std::string("\0\0\0\x04\xFF\xFF\xFF\xFF", 8)));
    EXPECT_TRUE(garbage.closedByPeer());

    TlsTestClient oversized{server.port(), {.key = testAdminKey()}};
    ASSERT_TRUE(oversized.handshake());
    tlv::wire::ServerFrame reply;
    ASSERT_TRUE(oversized.hello(tlv::wire::kProtocolVersion, reply));
    ASSERT_TRUE(oversized.send("\x7F\xFF\xFF\xFF"));
    EXPECT_TRUE(oversized.closedByPeer());

    TlsTestClient garbageInside{server.port(), {.key = testAdminKey()}};
    ASSERT_TRUE(garbageInside.handshake());
    ASSERT_TRUE(garbageInside.send(std::string("\0\0\0\x04\xFF\xFF\xFF\xFF", 8)));
    EXPECT_TRUE(garbageInside.closedByPeer());

    TlsTestClient otherVersion{server.port(), {.key = testAdminKey()}};
    ASSERT_TRUE(otherVersion.handshake());
    ASSERT_TRUE(otherVersion.hello(tlv::wire::kProtocolVersion + 1, reply));
    EXPECT_FALSE(reply.hello().accepted());
    EXPECT_EQ(reply.hello().protocol_version(), tlv::wire::kProtocolVersion);
    EXPECT_TRUE(otherVersion.closedByPeer());

    EXPECT_EQ(call(*good, tlv::wire::Request{}), CTerr_InvalidArgument)
        << "a request without a call is answered, not dropped";

    RawSocket silent{server.port()};  // stays connected, says nothing
    ASSERT_TRUE(silent.connected());
    EXPECT_EQ(call(*good, setLevel(3)), CTerr_NoError);
    Response response;
    ASSERT_EQ(call(*good, getServerLevel(), &response), CTerr_NoError);
    EXPECT_EQ(response.level(), 3);

    tlv::wire::ClientConnection refused{1s};
    ASSERT_EQ(refused.connect("127.0.0.1", server.port()), CTerr_NoError);
    EXPECT_EQ(server.terminate(), 0) << "SIGTERM ends it cleanly with clients still connected";
    EXPECT_EQ(refused.connect("127.0.0.1", server.port()), CTerr_ConnectRefused);
}

}  // namespace
}  // namespace tlv::test
