#pragma once
// A TCP relay on 127.0.0.1 between a client and a server port, run on a thread of its own, for
// tests and benchmarks that put distance or an attacker on the path: every chunk each way can be
// held back by a fixed one-way delay, and a tamper hook sees it before it is passed on and may
// change, drop or add bytes (flip, drop, replay, inject).
//
// Each accepted connection gets its own connection to the target. The relay passes bytes on in
// the order they arrived, each direction on its own; closing either end closes both.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tlv::test {

class RelayProxy final {
public:
    enum class Direction { ToServer, ToClient };

    // Sees each chunk read from one side before it goes to the other. offset is where the chunk
    // starts in that direction's stream of the connection; connection numbers the accepted
    // connections from 0. Runs on the relay's thread.
    using Tamper = std::function<void(int connection, Direction direction, std::uint64_t offset,
                                      std::string& chunk)>;

    struct Options {
        std::chrono::milliseconds oneWayDelay{0};
        Tamper tamper;
        // When not 0, each chunk goes on in pieces of at most this many bytes, each written by
        // itself piecePause after the one before, so the receiver gets them one by one.
        std::size_t pieceBytes = 0;
        std::chrono::microseconds piecePause{0};
    };

    // Listens on 127.0.0.1 at a port of its own choosing and relays to 127.0.0.1:targetPort.
    RelayProxy(std::uint16_t targetPort, Options options);
    ~RelayProxy();
    RelayProxy(const RelayProxy&) = delete;
    RelayProxy& operator=(const RelayProxy&) = delete;

    // 0 when the relay could not listen.
    std::uint16_t port() const;
    // Bytes relayed so far in one direction, over all connections (after tampering).
    std::uint64_t bytesRelayed(Direction direction) const;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tlv::test
