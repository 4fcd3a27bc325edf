// Fault injection, many clients and hostile input, against a real tlvsd.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

#include "s100/wire/frame.h"
#include "tests/server/admin_calls.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

using namespace std::chrono_literals;
using tlv::wire::Response;

// A raw TCP connection for sending bytes no client library would.
class RawSocket final {
public:
    explicit RawSocket(std::uint16_t port) {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        timeval wait{2, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    }
    ~RawSocket() { close(m_fd); }
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;

    bool connected() const { return m_connected; }
    bool send(const std::string& bytes) const {
        return write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // True when the server closed the connection (end of stream) within the receive timeout.
    bool closedByPeer() const {
        char scratch[4096];
        for (;;) {
            const ssize_t got = read(m_fd, scratch, sizeof scratch);
            if (got == 0) {
                return true;
            }
            if (got < 0) {
                return errno == ECONNRESET;
            }
        }
    }
    // Reads one frame into frame; false on a closed connection or a timeout.
    bool receive(tlv::wire::ServerFrame& frame) const {
        tlv::wire::FrameDecoder decoder;
        std::string payload;
        char scratch[4096];
        while (decoder.next(payload) != tlv::wire::FrameStatus::Frame) {
            const ssize_t got = read(m_fd, scratch, sizeof scratch);
            if (got <= 0) {
                return false;
            }
            decoder.feed(scratch, static_cast<std::size_t>(got));
        }
        return frame.ParseFromString(payload);
    }

private:
    int m_fd = -1;
    bool m_connected = false;
};

std::string helloBytes(std::uint32_t version) {
    tlv::wire::ClientFrame frame;
    frame.mutable_hello()->set_protocol_version(version);
    std::string bytes;
    tlv::wire::encodeFrame(frame, bytes);
    return bytes;
}

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

TEST(Clients, HostileClientsAreDroppedWithoutDisturbingOthers) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({}));
    auto good = server.connect();
    ASSERT_NE(good, nullptr);

    RawSocket garbage{server.port()};
    ASSERT_TRUE(garbage.connected());
    ASSERT_TRUE(garbage.send(std::string("\0\0\0\x04\xFF\xFF\xFF\xFF", 8)));
    EXPECT_TRUE(garbage.closedByPeer());

    RawSocket oversized{server.port()};
    ASSERT_TRUE(oversized.connected());
    ASSERT_TRUE(oversized.send(helloBytes(tlv::wire::kProtocolVersion)));
    tlv::wire::ServerFrame reply;
    ASSERT_TRUE(oversized.receive(reply));
    ASSERT_TRUE(oversized.send("\x7F\xFF\xFF\xFF"));
    EXPECT_TRUE(oversized.closedByPeer());

    RawSocket skipsHello{server.port()};
    tlv::wire::ClientFrame request;
    request.mutable_request()->mutable_get_server_level();
    std::string bytes;
    tlv::wire::encodeFrame(request, bytes);
    ASSERT_TRUE(skipsHello.send(bytes));
    EXPECT_TRUE(skipsHello.closedByPeer());

    RawSocket otherVersion{server.port()};
    ASSERT_TRUE(otherVersion.send(helloBytes(tlv::wire::kProtocolVersion + 1)));
    ASSERT_TRUE(otherVersion.receive(reply));
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
