#include "tests/server/raw_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "s100/wire/admin_key.h"
#include "s100/wire/frame.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

void setReceiveTimeout(int fd, int seconds) {
    timeval wait{seconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
}

// A write the server never takes must not hang a test.
constexpr timeval kSendTimeout{20, 0};

}  // namespace

RawSocket::RawSocket(std::uint16_t port) {
    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    m_connected = connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    setReceiveTimeout(m_fd, 2);
    setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &kSendTimeout, sizeof kSendTimeout);
}

RawSocket::~RawSocket() {
    close(m_fd);
}

bool RawSocket::send(const std::string& bytes) const {
    return ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
}

bool RawSocket::send(const tlv::wire::ClientFrame& frame) const {
    std::string bytes;
    return tlv::wire::encodeFrame(frame, bytes) && send(bytes);
}

bool RawSocket::closedByPeer(int seconds) const {
    setReceiveTimeout(m_fd, seconds);
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

bool RawSocket::receive(tlv::wire::ServerFrame& frame, int seconds) const {
    setReceiveTimeout(m_fd, seconds);
    tlv::wire::FrameDecoder decoder;
    std::string payload;
    char scratch[4096];
    while (decoder.next(payload) != tlv::wire::FrameStatus::Frame) {
        const ssize_t got = read(m_fd, scratch, sizeof scratch);
        if (got <= 0) {
            return false;
        }
        decoder.feed(scratch, static_cast<std::size_t>(got));
    }
    return frame.ParseFromString(payload);
}

std::string helloBytes(std::uint32_t version, std::string* nonce) {
    tlv::wire::ClientFrame frame;
    frame.mutable_hello()->set_protocol_version(version);
    frame.mutable_hello()->set_client_nonce(tlv::wire::freshRandomBytes(tlv::wire::kNonceBytes));
    if (nonce != nullptr) {
        *nonce = frame.hello().client_nonce();
    }
    std::string bytes;
    tlv::wire::encodeFrame(frame, bytes);
    return bytes;
}

bool proveAdminKey(const RawSocket& socket) {
    std::string clientNonce;
    tlv::wire::ServerFrame reply;
    if (!socket.send(helloBytes(tlv::wire::kProtocolVersion, &clientNonce)) ||
        !socket.receive(reply) || !reply.hello().accepted()) {
        return false;
    }
    tlv::wire::ClientFrame proof;
    proof.mutable_key_proof()->set_client_proof(
        tlv::wire::clientKeyProof(testAdminKey(), clientNonce, reply.hello().server_nonce()));
    return socket.send(proof) && socket.receive(reply) && reply.key_verdict().accepted();
}

}  // namespace tlv::test
