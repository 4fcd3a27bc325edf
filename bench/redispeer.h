#pragma once
// Redis as a benchmark peer: redis-server from Debian's package started on free loopback ports,
// one plain and one TLS (with a throwaway certificate made for the run by the openssl command),
// nothing saved; a list filled over the plain port; LRANGE timed by Redis's own client,
// redis-benchmark, which reads and parses every reply. Without redis-server the peer is absent.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/tlvsd_process.h"

class RedisPeer final {
public:
    // Starts redis-server when it is installed; usable() tells whether that worked.
    RedisPeer();
    ~RedisPeer();
    RedisPeer(const RedisPeer&) = delete;
    RedisPeer& operator=(const RedisPeer&) = delete;

    bool usable() const { return m_socket >= 0; }
    // The plain port.
    std::uint16_t port() const { return m_port; }
    bool speaksTls() const { return m_tlsPort != 0; }

    // RPUSH of rows onto list key (replacing it); false on any failure.
    bool fill(const std::string& key, const std::vector<std::string>& rows);
    // The median time of requests LRANGE key 0 -1 as redis-benchmark measures it (one
    // connection, one request at a time), over TLS or plain; a negative number on failure.
    double lrangeMedianMicros(const std::string& key, bool tls, int requests) const;

private:
    bool makeCertificate();
    bool command(const std::vector<std::string>& words);
    bool readLine(std::string& line);

    tlv::test::TempDir m_folder;
    pid_t m_pid = -1;
    int m_socket = -1;
    std::uint16_t m_port = 0;
    std::uint16_t m_tlsPort = 0;
    std::string m_buffer;  // received, not yet consumed
};
