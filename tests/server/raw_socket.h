#pragma once
// A raw TCP connection to tlvsd for sending bytes no client library would, and the frames of a
// hand-made handshake.

#include <cstdint>
#include <string>

#include "s100/proto/admin.pb.h"

namespace tlv::test {

class RawSocket final {
public:
    explicit RawSocket(std::uint16_t port);
    ~RawSocket();
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;

    bool connected() const { return m_connected; }
    bool send(const std::string& bytes) const;
    bool send(const tlv::wire::ClientFrame& frame) const;
    // True when the server closed the connection (end of stream) within the receive timeout
    // (2 s, or seconds when given).
    bool closedByPeer(int seconds = 2) const;
    // Reads one frame into frame; false on a closed connection or a timeout (2 s, or seconds
    // when given).
    bool receive(tlv::wire::ServerFrame& frame, int seconds = 2) const;

private:
    int m_fd = -1;
    bool m_connected = false;
};

// A Hello of the version with a fresh nonce (into nonce when asked).
std::string helloBytes(std::uint32_t version, std::string* nonce = nullptr);

// Goes through the handshake with the test key; true once the server accepted it.
bool proveAdminKey(const RawSocket& socket);

}  // namespace tlv::test
