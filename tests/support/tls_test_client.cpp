#include "tests/support/tls_test_client.h"

#include <csignal>
#include <cerrno>

#include "s100/wire/frame.h"
#include "s100/wire/tls_psk.h"

namespace tlv::test {
namespace {

constexpr unsigned char kSuite[] = {0x13, 0x01};

const TlsTestClient::Options& optionsOf(SSL* ssl) {
    return static_cast<const TlsTestClient*>(SSL_get_app_data(ssl))->options();
}

int offerKey(SSL* ssl, const EVP_MD*, const unsigned char** id, std::size_t* idLength,
             SSL_SESSION** session) {
    const TlsTestClient::Options& options = optionsOf(ssl);
    *session = nullptr;
    if (options.key.empty()) {
        return 1;
    }
    SSL_SESSION* offered = SSL_SESSION_new();
    SSL_SESSION_set1_master_key(offered, reinterpret_cast<const unsigned char*>(options.key.data()),
                                options.key.size());
    SSL_SESSION_set_cipher(offered, SSL_CIPHER_find(ssl, kSuite));
    SSL_SESSION_set_protocol_version(offered, TLS1_3_VERSION);
    *session = offered;
    *id = reinterpret_cast<const unsigned char*>(options.identity.data());
    *idLength = options.identity.size();
    return 1;
}

unsigned int offerTls12Key(SSL* ssl, const char*, char* identity, unsigned int maxIdentity,
                           unsigned char* key, unsigned int maxKey) {
    const TlsTestClient::Options& options = optionsOf(ssl);
    const std::string& id = options.identity;
    if (options.key.empty() || id.size() >= maxIdentity || options.key.size() > maxKey) {
        return 0;
    }
    id.copy(identity, id.size());
    identity[id.size()] = '\0';
    options.key.copy(reinterpret_cast<char*>(key), options.key.size());
    return static_cast<unsigned int>(options.key.size());
}

// OpenSSL writes to its socket with write(): a server that closed first must not end the test.
void ignoreBrokenPipes() {
    static const bool ignored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    (void)ignored;
}

SSL_CTX* newContext(bool tls12Only) {
    ignoreBrokenPipes();
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    const int version = tls12Only ? TLS1_2_VERSION : TLS1_3_VERSION;
    SSL_CTX_set_min_proto_version(context, version);
    SSL_CTX_set_max_proto_version(context, version);
    if (tls12Only) {
        SSL_CTX_set_cipher_list(context, "PSK-AES128-GCM-SHA256");
        SSL_CTX_set_psk_client_callback(context, offerTls12Key);
    } else {
        SSL_CTX_set_psk_use_session_callback(context, offerKey);
    }
    return context;
}

}  // namespace

TlsTestClient::TlsTestClient(std::uint16_t port, Options options)
    : m_options(std::move(options)),
      m_socket(port, m_options.sourceAddress),
      m_context(newContext(m_options.tls12Only)),
      m_ssl(SSL_new(m_context.get())) {
    if (m_options.identity.empty()) {
        m_options.identity = tlv::wire::adminKeyId(m_options.key);
    }
    SSL_set_app_data(m_ssl.get(), this);
    SSL_set_fd(m_ssl.get(), m_socket.descriptor());
}

TlsTestClient::~TlsTestClient() = default;

bool TlsTestClient::handshake() {
    return m_socket.connected() && SSL_connect(m_ssl.get()) == 1;
}

bool TlsTestClient::hello(std::uint32_t version, tlv::wire::ServerFrame& reply) {
    tlv::wire::ClientFrame frame;
    frame.mutable_hello()->set_protocol_version(version);
    frame.mutable_hello()->set_client_name("tls test client");
    return send(frame) && receive(reply);
}

bool TlsTestClient::open() {
    tlv::wire::ServerFrame reply;
    return handshake() && hello(tlv::wire::kProtocolVersion, reply) && reply.has_hello() &&
           reply.hello().accepted();
}

bool TlsTestClient::send(const std::string& bytes) {
    return SSL_write(m_ssl.get(), bytes.data(), static_cast<int>(bytes.size())) ==
           static_cast<int>(bytes.size());
}

bool TlsTestClient::send(const tlv::wire::ClientFrame& frame) {
    std::string bytes;
    return tlv::wire::encodeFrame(frame, bytes) && send(bytes);
}

bool TlsTestClient::receive(tlv::wire::ServerFrame& frame) {
    tlv::wire::FrameDecoder decoder;
    std::string payload;
    char scratch[4096];
    while (decoder.next(payload) != tlv::wire::FrameStatus::Frame) {
        const int got = SSL_read(m_ssl.get(), scratch, sizeof scratch);
        if (got <= 0) {
            return false;
        }
        decoder.feed(scratch, static_cast<std::size_t>(got));
    }
    return frame.ParseFromString(payload);
}

bool TlsTestClient::closedByPeer(int seconds) {
    m_socket.setReceiveTimeout(seconds);
    char scratch[4096];
    for (;;) {
        errno = 0;
        if (SSL_read(m_ssl.get(), scratch, sizeof scratch) > 0) {
            continue;
        }
        return errno != EAGAIN && errno != EWOULDBLOCK;
    }
}

}  // namespace tlv::test
