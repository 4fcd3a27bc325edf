#include "tests/support/loopback_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tlv::test {

LoopbackListener::LoopbackListener() {
    descriptor = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(descriptor, reinterpret_cast<sockaddr*>(&address), size);
    listen(descriptor, 8);
    getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener() {
    close(descriptor);
}

void LoopbackListener::wake() const {
    shutdown(descriptor, SHUT_RDWR);
}

int LoopbackListener::acceptClient(timeval wait) const {
    const int client = accept(descriptor, nullptr, nullptr);
    if (client >= 0) {
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    }
    return client;
}

}  // namespace tlv::test
