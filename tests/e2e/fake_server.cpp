#include "tests/e2e/fake_server.h"

#include <arpa/inet.h>

#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "s100/wire/admin_key.h"
#include "s100/wire/frame.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::e2e {
namespace {

constexpr int kPollMs = 50;
constexpr int kMaxIdlePolls = 100;  // 5 s without a byte ends the conversation

bool readable(int descriptor) {
    pollfd waiting{descriptor, POLLIN, 0};
    return poll(&waiting, 1, kPollMs) > 0;
}

void sendAll(int descriptor, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(descriptor, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

FakeServer::FakeServer(Script script) : m_script(std::move(script)) {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(m_listener, 1) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return;
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

FakeServer::~FakeServer() {
    m_stopping = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_listener >= 0) {
        close(m_listener);
    }
}

std::string FakeServer::frame(const tlv::wire::ServerFrame& message) {
    std::string bytes;
    tlv::wire::encodeFrame(message, bytes);
    return bytes;
}

std::string FakeServer::helloReply(bool accepted, std::uint32_t version) {
    tlv::wire::ServerFrame reply;
    reply.mutable_hello()->set_accepted(accepted);
    reply.mutable_hello()->set_protocol_version(version);
    reply.mutable_hello()->set_server_name("fake");
    return frame(reply);
}

FakeServer::Script FakeServer::afterHandshake(
    std::function<std::string(const tlv::wire::Request&)> answer) {
    struct Nonces {
        std::string client;
        std::string server = tlv::wire::freshRandomBytes(tlv::wire::kNonceBytes);
    };
    auto nonces = std::make_shared<Nonces>();
    return [answer = std::move(answer), nonces](const tlv::wire::ClientFrame& received) {
        const std::string& key = tlv::test::testAdminKey();
        if (received.has_hello()) {
            nonces->client = received.hello().client_nonce();
            tlv::wire::ServerFrame reply;
            reply.mutable_hello()->set_accepted(true);
            reply.mutable_hello()->set_protocol_version(tlv::wire::kProtocolVersion);
            reply.mutable_hello()->set_server_name("fake");
            reply.mutable_hello()->set_server_nonce(nonces->server);
            reply.mutable_hello()->set_server_proof(
                tlv::wire::serverKeyProof(key, nonces->client, nonces->server));
            return frame(reply);
        }
        if (received.has_key_proof()) {
            tlv::wire::ServerFrame verdict;
            verdict.mutable_key_verdict()->set_accepted(tlv::wire::proofMatches(
                tlv::wire::clientKeyProof(key, nonces->client, nonces->server),
                received.key_proof().client_proof()));
            return frame(verdict);
        }
        return answer(received.request());
    };
}

void FakeServer::serve() {
    for (int polls = 0; polls < kMaxIdlePolls && !m_stopping; ++polls) {
        if (!readable(m_listener)) {
            continue;
        }
        const int client = accept(m_listener, nullptr, nullptr);
        if (client >= 0) {
            converse(client);
            close(client);
        }
        return;
    }
}

void FakeServer::converse(int client) {
    tlv::wire::FrameDecoder decoder;
    int idlePolls = 0;
    while (!m_stopping && idlePolls < kMaxIdlePolls) {
        if (!readable(client)) {
            ++idlePolls;
            continue;
        }
        idlePolls = 0;
        char chunk[4096];
        const ssize_t got = recv(client, chunk, sizeof chunk, 0);
        if (got <= 0) {
            return;
        }
        decoder.feed(chunk, static_cast<std::size_t>(got));
        std::string payload;
        while (decoder.next(payload) == tlv::wire::FrameStatus::Frame) {
            tlv::wire::ClientFrame received;
            if (!tlv::wire::parseFrame(payload, received)) {
                return;
            }
            sendAll(client, m_script(received));
        }
    }
}

}  // namespace tlv::e2e
