#include "s100/wire/client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include "s100/proto/admin.pb.h"
#include "s100/proto/packed_strings.h"
#include "s100/wire/admin_key.h"
#include "s100/wire/frame.h"
#include "s100/wire/tls_psk.h"
#include "tests/support/fake_server.h"
#include "tests/support/loopback_listener.h"
#include "tests/support/openssl_handles.h"
#include "tests/support/relay_proxy.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::wire {
namespace {

using namespace std::chrono_literals;

using tlv::test::LoopbackListener;

// A peer on 127.0.0.1 that accepts one client, reads what it sends for a moment, answers with
// fixed bytes outside any TLS and then keeps the connection open until it is destroyed.
class ScriptedPeer final {
public:
    explicit ScriptedPeer(std::string reply) : m_reply(std::move(reply)) {
        m_thread = std::thread([this] { serve(); });
    }
    ~ScriptedPeer() {
        m_listener.wake();
        m_thread.join();
        if (m_client >= 0) {
            close(m_client);
        }
    }
    std::uint16_t port() const { return m_listener.port; }

private:
    void serve() {
        m_client = m_listener.acceptClient({0, 100 * 1000});
        if (m_client < 0) {
            return;
        }
        char scratch[4096];
        (void)!read(m_client, scratch, sizeof scratch);
        if (!m_reply.empty()) {
            (void)!write(m_client, m_reply.data(), m_reply.size());
        }
    }

    std::string m_reply;
    LoopbackListener m_listener;
    int m_client = -1;
    std::thread m_thread;
};

// A TLS 1.3 server on 127.0.0.1 that ignores any key and shows a certificate of its own instead,
// as a man in the middle would; it accepts one client.
class CertificateServer final {
public:
    CertificateServer() : m_context(SSL_CTX_new(TLS_server_method())) {
        EVP_PKEY* key = EVP_EC_gen("P-256");
        X509* certificate = X509_new();
        ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
        X509_gmtime_adj(X509_getm_notBefore(certificate), 0);
        X509_gmtime_adj(X509_getm_notAfter(certificate), 3600);
        X509_set_pubkey(certificate, key);
        X509_NAME* name = X509_get_subject_name(certificate);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
        X509_set_issuer_name(certificate, name);
        X509_sign(certificate, key, EVP_sha256());
        SSL_CTX_use_certificate(m_context.get(), certificate);
        SSL_CTX_use_PrivateKey(m_context.get(), key);
        X509_free(certificate);
        EVP_PKEY_free(key);
        m_thread = std::thread([this] { serve(); });
    }
    ~CertificateServer() {
        m_peer.wake();
        m_thread.join();
    }
    std::uint16_t port() const { return m_peer.port; }

private:
    void serve() {
        const int client = m_peer.acceptClient({2, 0});
        if (client < 0) {
            return;
        }
        const tlv::test::SslPtr ssl(SSL_new(m_context.get()));
        SSL_set_fd(ssl.get(), client);
        SSL_accept(ssl.get());
        close(client);
    }

    tlv::test::SslContextPtr m_context;
    LoopbackListener m_peer;
    std::thread m_thread;
};

// A server on 127.0.0.1 that holds the test key, answers the Hello and then reads nothing more,
// so that a large request fills the socket's buffers and its send waits. It accepts one client
// and lets it go when destroyed.
class DeafServer final {
public:
    DeafServer() {
        // A small receive buffer, so that the client's send waits sooner.
        const int bytes = 4096;
        setsockopt(m_listener.descriptor, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
        m_thread = std::thread([this] { serve(); });
    }
    ~DeafServer() {
        m_done = true;
        m_listener.wake();
        m_thread.join();
    }
    std::uint16_t port() const { return m_listener.port; }

private:
    void serve() {
        const int client = m_listener.acceptClient({5, 0});
        if (client < 0) {
            return;
        }
        const ServerKey key{tlv::test::testAdminKey(), adminKeyId(tlv::test::testAdminKey())};
        const tlv::test::SslContextPtr context(newServerTlsContext(key));
        const tlv::test::SslPtr ssl(SSL_new(context.get()));
        SSL_set_fd(ssl.get(), client);
        if (SSL_accept(ssl.get()) == 1 && readHello(ssl.get())) {
            const std::string reply = tlv::test::FakeServer::helloReply(true, kProtocolVersion);
            SSL_write(ssl.get(), reply.data(), static_cast<int>(reply.size()));
            for (int waited = 0; !m_done && waited < 1000; ++waited) {
                std::this_thread::sleep_for(10ms);
            }
        }
        close(client);
    }

    static bool readHello(SSL* ssl) {
        FrameDecoder decoder;
        std::string payload;
        char chunk[256];
        while (decoder.next(payload) != FrameStatus::Frame) {
            const int got = SSL_read(ssl, chunk, sizeof chunk);
            if (got <= 0) {
                return false;
            }
            decoder.feed(chunk, static_cast<std::size_t>(got));
        }
        return true;
    }

    LoopbackListener m_listener;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// A request far larger than any socket buffer on the way: its send waits for the server.
Request hugeRequest() {
    Request request;
    request.mutable_remove_profile()->set_name(std::string(12u << 20, 'x'));
    return request;
}

// A key the servers here do not hold.
const std::string kSomeKey(kAdminKeyBytes, 'k');

Request levelRequest() {
    Request request;
    request.mutable_get_server_level();
    return request;
}

TEST(ClientConnection, RefusedConnectionIsToldApartAndLeavesNothingUsable) {
    std::uint16_t freePort = 0;
    {
        ScriptedPeer peer{""};  // bound, then closed: nothing listens there afterwards
        freePort = peer.port();
        ClientConnection unblock{1s};
        unblock.connect("127.0.0.1", freePort);
    }
    ClientConnection connection{1s};
    EXPECT_EQ(connection.connect("127.0.0.1", freePort), CTerr_ConnectRefused);
    EXPECT_EQ(connection.failureReason(), "connection refused");
    EXPECT_EQ(connection.lastFault(), ConnectFault::Refused);
    EXPECT_EQ(connection.connect("no-such-host.invalid", 2020), CTerr_ConnectRefused);
    EXPECT_EQ(connection.failureReason(), "host not found");
    EXPECT_EQ(connection.lastFault(), ConnectFault::HostNotFound);
    EXPECT_FALSE(connection.isUsable());
    Request request = levelRequest();
    Response response;
    EXPECT_EQ(connection.call(request, response), CTerr_ConnectionLost);
}

TEST(ClientConnection, SilentServerTimesOutAndTheConnectionStaysDead) {
    ScriptedPeer peer{""};
    ClientConnection connection{200ms};
    ASSERT_EQ(connection.connect("127.0.0.1", peer.port()), CTerr_NoError);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(connection.handshake("test", kSomeKey), CTerr_ConnectionLost);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    EXPECT_EQ(connection.lastFault(), ConnectFault::TimedOut);
    EXPECT_FALSE(connection.isUsable());
    Request request = levelRequest();
    Response response;
    EXPECT_EQ(connection.call(request, response), CTerr_ConnectionLost);
}

// Abort is how a waiting operator gives up on a hung server: the call waiting on another thread
// ends at once, and the connection stays dead even for a later connect.
TEST(ClientConnection, AbortFromAnotherThreadEndsAWaitingCallAndEveryLaterOne) {
    ScriptedPeer peer{""};
    ClientConnection connection{10s};
    ASSERT_EQ(connection.connect("127.0.0.1", peer.port()), CTerr_NoError);
    CTerror outcome = CTerr_NoError;
    const auto started = std::chrono::steady_clock::now();
    std::thread waiting([&] { outcome = connection.handshake("test", kSomeKey); });
    std::this_thread::sleep_for(100ms);
    connection.abort();
    waiting.join();
    EXPECT_EQ(outcome, CTerr_ConnectionLost);
    EXPECT_EQ(connection.lastFault(), ConnectFault::Aborted);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_FALSE(connection.isUsable());
    EXPECT_EQ(connection.connect("127.0.0.1", peer.port()), CTerr_ConnectionLost);
    Request request = levelRequest();
    Response response;
    EXPECT_EQ(connection.call(request, response), CTerr_ConnectionLost);
}

// A send the server does not take ends with the call's deadline, or at once by abort(); either
// way the connection is dead.
TEST(ClientConnection, ASendThatWaitsEndsByItsDeadlineOrByAbort) {
    {
        DeafServer deaf;
        ClientConnection connection{300ms};
        ASSERT_EQ(connection.connect("127.0.0.1", deaf.port()), CTerr_NoError);
        ASSERT_EQ(connection.handshake("test", tlv::test::testAdminKey()), CTerr_NoError);
        Request request = hugeRequest();
        Response response;
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(connection.call(request, response), CTerr_ConnectionLost);
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_GE(took, 250ms);
        EXPECT_LT(took, 3s);
        EXPECT_FALSE(connection.isUsable());
    }
    DeafServer deaf;
    ClientConnection connection{10s};
    ASSERT_EQ(connection.connect("127.0.0.1", deaf.port()), CTerr_NoError);
    ASSERT_EQ(connection.handshake("test", tlv::test::testAdminKey()), CTerr_NoError);
    CTerror outcome = CTerr_NoError;
    const auto started = std::chrono::steady_clock::now();
    std::thread sending([&] {
        Request request = hugeRequest();
        Response response;
        outcome = connection.call(request, response);
    });
    std::this_thread::sleep_for(200ms);
    connection.abort();
    sending.join();
    EXPECT_EQ(outcome, CTerr_ConnectionLost);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_FALSE(connection.isUsable());
}

// The server's own version is kept, so that the operator is told both.
TEST(ClientConnection, RefusedVersionIsAProtocolMismatch) {
    tlv::test::FakeServer peer{[](const ClientFrame&) {
        return tlv::test::FakeServer::helloReply(false, kProtocolVersion + 1);
    }};
    ClientConnection connection{2s};
    ASSERT_EQ(connection.connect("127.0.0.1", peer.port()), CTerr_NoError);
    EXPECT_EQ(connection.handshake("test", tlv::test::testAdminKey()), CTerr_ProtocolMismatch);
    EXPECT_EQ(connection.lastFault(), ConnectFault::VersionMismatch);
    EXPECT_EQ(connection.serverProtocolVersion(), kProtocolVersion + 1);
    EXPECT_FALSE(connection.isUsable());
}

// Bytes that are not TLS (a server of protocol 3 answers in clear) and garbage inside TLS are a
// lost connection, never a refused key.
TEST(ClientConnection, GarbageAndOversizedRepliesKillTheConnection) {
    const std::string garbage = std::string("\0\0\0\x03", 4) + "\xFF\xFF\xFF";
    const std::string oversized = "\x7F\xFF\xFF\xFF";
    for (const std::string& reply : {garbage, oversized}) {
        ScriptedPeer clear{reply};
        ClientConnection outside{2s};
        ASSERT_EQ(outside.connect("127.0.0.1", clear.port()), CTerr_NoError);
        EXPECT_EQ(outside.handshake("test", kSomeKey), CTerr_ConnectionLost);
        EXPECT_FALSE(outside.isUsable());

        tlv::test::FakeServer tunnel{[reply](const ClientFrame&) { return reply; }};
        ClientConnection inside{2s};
        ASSERT_EQ(inside.connect("127.0.0.1", tunnel.port()), CTerr_NoError);
        EXPECT_EQ(inside.handshake("test", tlv::test::testAdminKey()), CTerr_ConnectionLost);
        EXPECT_EQ(inside.lastFault(), ConnectFault::Broken);
        EXPECT_FALSE(inside.isUsable());
    }
}

// A server without our key learns nothing: it never gets a frame, and we never take one from it.
TEST(ClientConnection, AServerThatCannotProveTheKeyIsRejected) {
    std::atomic<bool> heardFrame{false};
    tlv::test::FakeServer impostor{[&heardFrame](const ClientFrame&) {
                                       heardFrame = true;
                                       return tlv::test::FakeServer::helloReply(true,
                                                                                kProtocolVersion);
                                   },
                                   kSomeKey};
    ClientConnection connection{2s};
    ASSERT_EQ(connection.connect("127.0.0.1", impostor.port()), CTerr_NoError);
    EXPECT_EQ(connection.handshake("test", tlv::test::testAdminKey()), CTerr_KeyRejected);
    EXPECT_EQ(connection.lastFault(), ConnectFault::KeyRejected);
    EXPECT_FALSE(connection.isUsable());
    Request request = levelRequest();
    Response response;
    EXPECT_EQ(connection.call(request, response), CTerr_ConnectionLost);
    EXPECT_FALSE(heardFrame);
}

// Without the trust of no certificate at all, this server would read every call.
TEST(ClientConnection, AServerShowingACertificateInsteadOfTheKeyIsRejected) {
    CertificateServer impostor;
    ClientConnection connection{2s};
    ASSERT_EQ(connection.connect("127.0.0.1", impostor.port()), CTerr_NoError);
    EXPECT_EQ(connection.handshake("test", tlv::test::testAdminKey()), CTerr_KeyRejected);
    EXPECT_EQ(connection.lastFault(), ConnectFault::KeyRejected);
    EXPECT_FALSE(connection.isUsable());
}

TEST(ClientConnection, AClientWithAnotherKeyGetsNoCallAnsweredWhileTheHolderGetsIn) {
    tlv::test::TempDir data;
    tlv::test::TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path()}));
    ClientConnection stranger{2s};
    ASSERT_EQ(stranger.connect("127.0.0.1", server.port()), CTerr_NoError);
    EXPECT_EQ(stranger.handshake("test", kSomeKey), CTerr_KeyRejected);
    Request request = levelRequest();
    Response response;
    EXPECT_EQ(stranger.call(request, response), CTerr_ConnectionLost);
    EXPECT_NE(server.connect(), nullptr) << "the key holder still gets in";
}

TEST(ClientConnection, CallsAgainstTlvsdMatchIdsAndALostServerFailsEveryLaterCall) {
    tlv::test::TempDir data;
    tlv::test::TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path(), "--name", "unit"}));
    auto connection = server.connect();
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(connection->serverName(), "unit");
    for (int i = 0; i < 3; ++i) {
        Request request = levelRequest();
        Response response;
        ASSERT_EQ(connection->call(request, response), CTerr_NoError);
        EXPECT_EQ(response.id(), request.id());
        EXPECT_EQ(response.error(), CTerr_NoError);
        EXPECT_EQ(response.level(), 1);
    }
    server.kill();
    Request request = levelRequest();
    Response response;
    EXPECT_EQ(connection->call(request, response), CTerr_ConnectionLost);
    ASSERT_TRUE(server.restart());
    EXPECT_EQ(connection->call(request, response), CTerr_ConnectionLost);
}

// TLS records and frames that arrive a few bytes at a time, split anywhere, are read whole: the
// handshake, and answers small and large (a list in several records).
TEST(ClientConnection, AnswersArrivingAFewBytesAtATimeAreReadWhole) {
    const std::string kLongTail(64, '_');  // so that the list fills more than one record
    tlv::test::TempDir data;
    tlv::test::TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path()}));
    {
        auto writer = server.connect();
        ASSERT_NE(writer, nullptr);
        for (int i = 0; i < 300; ++i) {
            Request add;
            add.mutable_add_profile()->set_name("Profile" + std::to_string(1000 + i) + kLongTail);
            add.mutable_add_profile()->set_profile_class("Application");
            Response added;
            ASSERT_EQ(writer->call(add, added), CTerr_NoError);
            ASSERT_EQ(added.error(), CTerr_NoError);
        }
    }
    tlv::test::RelayProxy::Options options;
    options.pieceBytes = 7;
    options.piecePause = 50us;
    tlv::test::RelayProxy relay(server.port(), options);
    ASSERT_NE(relay.port(), 0);

    ClientConnection connection(5s);
    ASSERT_EQ(connection.connect("127.0.0.1", relay.port()), CTerr_NoError);
    ASSERT_EQ(connection.handshake("dribbled", tlv::test::testAdminKey()), CTerr_NoError);
    Request level = levelRequest();
    Response levelAnswer;
    ASSERT_EQ(connection.call(level, levelAnswer), CTerr_NoError);
    EXPECT_EQ(levelAnswer.level(), 1);
    Request list;
    list.mutable_get_profile_info();
    Response listAnswer;
    ASSERT_EQ(connection.call(list, listAnswer), CTerr_NoError);
    ASSERT_EQ(listAnswer.error(), CTerr_NoError);
    std::vector<std::string> names;
    ASSERT_EQ(listAnswer.result().pairs_size(), 2);
    forEachPacked(listAnswer.result().pairs(0).value().array_value().packed_strings(),
                  [&names](std::string_view name) {
                      names.emplace_back(name);
                      return true;
                  });
    ASSERT_EQ(names.size(), 300u);
    EXPECT_EQ(names.front(), "Profile1000" + kLongTail);
    EXPECT_EQ(names.back(), "Profile1299" + kLongTail);
    EXPECT_GT(relay.bytesRelayed(tlv::test::RelayProxy::Direction::ToClient), 16u * 1024u)
        << "the list takes more than one record";
}

// The relay other tests put on the path: calls pass through it, each way held back by its delay,
// and what its hook sees is the session's bytes in order.
TEST(RelayProxy, PassesASessionThroughAndHoldsEachWayBackByItsDelay) {
    tlv::test::TempDir data;
    tlv::test::TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path()}));
    std::uint64_t seenToServer = 0;
    tlv::test::RelayProxy::Options options;
    options.oneWayDelay = 40ms;
    options.tamper = [&seenToServer](int, tlv::test::RelayProxy::Direction direction,
                                     std::uint64_t offset, std::string& chunk) {
        if (direction == tlv::test::RelayProxy::Direction::ToServer) {
            EXPECT_EQ(offset, seenToServer) << "chunks arrive in stream order";
            seenToServer += chunk.size();
        }
    };
    tlv::test::RelayProxy relay(server.port(), options);
    ASSERT_NE(relay.port(), 0);

    ClientConnection connection(5s);
    ASSERT_EQ(connection.connect("127.0.0.1", relay.port()), CTerr_NoError);
    ASSERT_EQ(connection.handshake("relayed", tlv::test::testAdminKey()), CTerr_NoError);
    Request request = levelRequest();
    Response response;
    const auto before = std::chrono::steady_clock::now();
    ASSERT_EQ(connection.call(request, response), CTerr_NoError);
    EXPECT_GE(std::chrono::steady_clock::now() - before, 80ms) << "one round trip, both ways";
    EXPECT_EQ(response.level(), 1);
    EXPECT_EQ(relay.bytesRelayed(tlv::test::RelayProxy::Direction::ToServer), seenToServer);
    EXPECT_GT(relay.bytesRelayed(tlv::test::RelayProxy::Direction::ToClient), 0u);
}

}  // namespace
}  // namespace tlv::wire
