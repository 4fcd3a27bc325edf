#pragma once
// A connected blocking socket under OpenSSL whose every wait ends by a deadline. A call then
// costs one send and one receive, as a plain blocking exchange does, where waiting through an
// event loop costs a readiness wait besides each.
//
// The socket's own timeouts (SO_RCVTIMEO, SO_SNDTIMEO) bound each send and receive; they are
// set only when the deadline needs a shorter one, so calls with the same timeout set nothing.
// Sends never raise SIGPIPE. Shutting the socket down from another thread ends a wait at once.

#include <chrono>

typedef struct bio_st BIO;

namespace tlv::wire {

struct SocketDeadline {
    using Clock = std::chrono::steady_clock;

    int fd = -1;
    Clock::time_point deadline;
    bool timedOut = false;  // the last send or receive failed because the deadline passed
    // What the socket's timeouts are set to; zero while unset (the socket then waits forever).
    std::chrono::microseconds receiveTimeout{0};
    std::chrono::microseconds sendTimeout{0};
};

// A BIO that sends and receives on socket.fd, each wait ending by socket.deadline; null when
// OpenSSL cannot make one. socket must outlive the BIO, which never closes the descriptor.
BIO* newDeadlineSocketBio(SocketDeadline& socket);

}  // namespace tlv::wire
