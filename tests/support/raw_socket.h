#pragma once
// A raw TCP connection to a loopback port, for sending bytes no client library would (or none
// at all), optionally from another loopback address (127.0.0.2, ...) so the server sees another
// source.

#include <cstdint>
#include <string>

namespace tlv::test {

class RawSocket final {
public:
    explicit RawSocket(std::uint16_t port, const std::string& sourceAddress = {});
    ~RawSocket();
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;

    bool connected() const { return m_connected; }
    int descriptor() const { return m_fd; }
    bool send(const std::string& bytes) const;
    // Reads give up after seconds without a byte.
    void setReceiveTimeout(int seconds) const;
    // True when the server closed the connection (end of stream) within the receive timeout
    // (2 s, or seconds when given).
    bool closedByPeer(int seconds = 2) const;

private:
    int m_fd = -1;
    bool m_connected = false;
};

}  // namespace tlv::test
