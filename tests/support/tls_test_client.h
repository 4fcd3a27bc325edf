#pragma once
// A TLS client made with OpenSSL directly, for what the client library never does: offer another
// key, a wrong proof of the right key's id, no key at all or only TLS 1.2; connect from another
// loopback address; send any bytes inside the tunnel or beside it. Blocking; every wait is
// bounded by a receive timeout (2 s unless said).

#include <cstdint>
#include <string>

#include "s100/proto/admin.pb.h"
#include "tests/support/openssl_handles.h"
#include "tests/support/raw_socket.h"

namespace tlv::test {

class TlsTestClient final {
public:
    struct Options {
        std::string key{};            // the key offered; "" offers none
        std::string identity{};       // the identity offered with it; "" for the key's own id
        std::string sourceAddress{};  // e.g. "127.0.0.2"; "" lets the system choose
        bool tls12Only = false;       // only TLS 1.2, offering the key as a TLS 1.2 pre-shared key
    };

    TlsTestClient(std::uint16_t port, Options options);
    ~TlsTestClient();
    TlsTestClient(const TlsTestClient&) = delete;
    TlsTestClient& operator=(const TlsTestClient&) = delete;

    bool connected() const { return m_socket.connected(); }
    // Runs the TLS handshake; true when it completed.
    bool handshake();
    // Sends a Hello of version and reads the reply; true when one came.
    bool hello(std::uint32_t version, tlv::wire::ServerFrame& reply);
    // The handshake and a Hello of this protocol version; true when the server took both, as it
    // does for the library's own connections.
    bool open();
    // Reads give up after seconds without a byte (2 unless set).
    void setReceiveTimeout(int seconds) { m_socket.setReceiveTimeout(seconds); }

    // The TCP connection itself, for bytes beside TLS.
    const RawSocket& raw() const { return m_socket; }
    // Bytes inside TLS.
    bool send(const std::string& bytes);
    bool send(const tlv::wire::ClientFrame& frame);
    // Reads one frame from inside TLS; false on a closed connection or a timeout.
    bool receive(tlv::wire::ServerFrame& frame);
    // True when the server closed the connection within seconds.
    bool closedByPeer(int seconds = 2);

    const Options& options() const { return m_options; }

private:
    Options m_options;
    RawSocket m_socket;
    SslContextPtr m_context;
    SslPtr m_ssl;
};

}  // namespace tlv::test
