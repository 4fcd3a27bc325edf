#include "tests/support/raw_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace tlv::test {

RawSocket::RawSocket(std::uint16_t port, const std::string& sourceAddress) {
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (!sourceAddress.empty() &&
        (inet_pton(AF_INET, sourceAddress.c_str(), &address.sin_addr) != 1 ||
         bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)) {
        return;
    }
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    m_connected = connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    setReceiveTimeout(2);
}

RawSocket::~RawSocket() {
    close(m_fd);
}

bool RawSocket::send(const std::string& bytes) const {
    return ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
}

void RawSocket::setReceiveTimeout(int seconds) const {
    timeval wait{seconds, 0};
    setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
}

bool RawSocket::closedByPeer(int seconds) const {
    setReceiveTimeout(seconds);
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

}  // namespace tlv::test
