#include "s100/wire/deadline_socket.h"

#include <openssl/bio.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>

namespace tlv::wire {
namespace {

using Clock = SocketDeadline::Clock;

// How far a socket timeout set for an earlier wait may reach past this one's deadline before it
// is set again: the deadlines of one connection's calls differ by microseconds.
constexpr std::chrono::microseconds kTimeoutSlack{1000};

// Makes the socket timeout option (now at current) end no later than deadline, or exactly at it
// when force is set; false when the deadline has passed.
bool boundWait(SocketDeadline& socket, int option, std::chrono::microseconds& current, bool force) {
    const auto remaining =
        std::chrono::ceil<std::chrono::microseconds>(socket.deadline - Clock::now());
    if (remaining.count() <= 0) {
        socket.timedOut = true;
        return false;
    }
    if (!force && current.count() != 0 && current <= remaining + kTimeoutSlack) {
        return true;
    }
    timeval limit{};
    limit.tv_sec = static_cast<time_t>(remaining.count() / 1000000);
    limit.tv_usec = static_cast<suseconds_t>(remaining.count() % 1000000);
    if (setsockopt(socket.fd, SOL_SOCKET, option, &limit, sizeof limit) != 0) {
        return false;
    }
    current = remaining;
    return true;
}

// Runs transfer (a send or a receive) until it moves bytes, fails or the deadline passes. A
// timeout of the socket before the deadline (it was set for an earlier, shorter wait) or a
// signal only makes it wait on.
template <typename Transfer>
int transferByDeadline(BIO* bio, int option, std::chrono::microseconds SocketDeadline::*timeout,
                       Transfer transfer) {
    BIO_clear_retry_flags(bio);
    auto& socket = *static_cast<SocketDeadline*>(BIO_get_data(bio));
    socket.timedOut = false;
    for (bool force = false;; force = true) {
        if (!boundWait(socket, option, socket.*timeout, force)) {
            return -1;
        }
        const ssize_t moved = transfer(socket.fd);
        if (moved >= 0) {
            return static_cast<int>(moved);
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return -1;
        }
    }
}

int writeBytes(BIO* bio, const char* data, int size) {
    return transferByDeadline(bio, SO_SNDTIMEO, &SocketDeadline::sendTimeout, [&](int fd) {
        return send(fd, data, static_cast<std::size_t>(size), MSG_NOSIGNAL);
    });
}

int readBytes(BIO* bio, char* data, int size) {
    return transferByDeadline(bio, SO_RCVTIMEO, &SocketDeadline::receiveTimeout, [&](int fd) {
        return recv(fd, data, static_cast<std::size_t>(size), 0);
    });
}

long control(BIO*, int command, long, void*) {
    return command == BIO_CTRL_FLUSH ? 1 : 0;  // every byte is sent as it is written
}

const BIO_METHOD* deadlineSocketMethod() {
    static BIO_METHOD* const method = [] {
        BIO_METHOD* made =
            BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "socket with deadline");
        if (made != nullptr &&
            (BIO_meth_set_write(made, writeBytes) != 1 || BIO_meth_set_read(made, readBytes) != 1 ||
             BIO_meth_set_ctrl(made, control) != 1)) {
            BIO_meth_free(made);
            made = nullptr;
        }
        return made;
    }();
    return method;
}

}  // namespace

BIO* newDeadlineSocketBio(SocketDeadline& socket) {
    const BIO_METHOD* method = deadlineSocketMethod();
    BIO* bio = method != nullptr ? BIO_new(method) : nullptr;
    if (bio != nullptr) {
        BIO_set_data(bio, &socket);
        BIO_set_init(bio, 1);
    }
    return bio;
}

}  // namespace tlv::wire
