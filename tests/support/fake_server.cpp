#include "tests/support/fake_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "s100/wire/frame.h"
#include "s100/wire/tls_psk.h"
#include "tests/support/openssl_handles.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

constexpr int kPollMs = 50;
constexpr int kMaxIdlePolls = 100;  // 5 s without a byte ends the conversation

bool readable(int descriptor) {
    pollfd waiting{descriptor, POLLIN, 0};
    return poll(&waiting, 1, kPollMs) > 0;
}

void sendAll(SSL* ssl, const std::string& bytes) {
    if (!bytes.empty()) {
        SSL_write(ssl, bytes.data(), static_cast<int>(bytes.size()));
    }
}

}  // namespace

FakeServer::FakeServer(Script script, std::string key)
    : m_script(std::move(script)), m_key(key.empty() ? testAdminKey() : std::move(key)) {
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
    return [answer = std::move(answer)](const tlv::wire::ClientFrame& received) {
        if (received.has_hello()) {
            tlv::wire::ServerFrame reply;
            reply.mutable_hello()->set_accepted(true);
            reply.mutable_hello()->set_protocol_version(tlv::wire::kProtocolVersion);
            reply.mutable_hello()->set_server_name("fake");
            return frame(reply);
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
    const tlv::wire::ServerKey key{m_key, tlv::wire::adminKeyId(m_key)};
    const SslContextPtr context(tlv::wire::newServerTlsContext(key));
    const SslPtr ssl(context != nullptr ? SSL_new(context.get()) : nullptr);
    timeval wait{5, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    if (ssl == nullptr || SSL_set_fd(ssl.get(), client) != 1 || SSL_accept(ssl.get()) != 1) {
        return;
    }
    tlv::wire::FrameDecoder decoder;
    int idlePolls = 0;
    while (!m_stopping && idlePolls < kMaxIdlePolls) {
        if (SSL_pending(ssl.get()) == 0 && !readable(client)) {
            ++idlePolls;
            continue;
        }
        idlePolls = 0;
        char chunk[4096];
        const int got = SSL_read(ssl.get(), chunk, sizeof chunk);
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
            sendAll(ssl.get(), m_script(received));
        }
    }
}

}  // namespace tlv::test
