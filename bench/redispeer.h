#pragma once
// Redis as a benchmark peer: redis-server from Debian's package started on a free loopback
// port with nothing saved, a list filled, and LRANGE read back whole by a minimal client that
// decodes the reply into strings. Without redis-server the peer is simply absent.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class RedisPeer final {
public:
    // Starts redis-server when it is installed; usable() tells whether that worked.
    RedisPeer();
    ~RedisPeer();
    RedisPeer(const RedisPeer&) = delete;
    RedisPeer& operator=(const RedisPeer&) = delete;

    bool usable() const { return m_socket >= 0; }

    // RPUSH of rows onto list key (replacing it); false on any failure.
    bool fill(const std::string& key, const std::vector<std::string>& rows);
    // LRANGE key 0 -1 into rows; false on any failure.
    bool range(const std::string& key, std::vector<std::string>& rows);

private:
    bool command(const std::vector<std::string>& words);
    bool receiveMore();
    bool readLine(std::string& line);
    bool readBytes(std::size_t count, std::string& out);

    pid_t m_pid = -1;
    int m_socket = -1;
    std::string m_buffer;  // received, not yet consumed
    std::size_t m_start = 0;
};
