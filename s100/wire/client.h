#pragma once
// A blocking connection from a client to tlvsd: connect, handshake, then one call at a time.
// Everything after the TCP connection travels inside TLS keyed by the admin key (tls_psk.h).
//
// Every step is bounded by the call timeout (TLV_CALL_TIMEOUT_MS, default 10 s). A connection
// that was closed, reset or timed out, or that delivered a frame that does not decode, is dead:
// that call and every later one fail with CTerr_ConnectionLost. Nothing here throws.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "s100/errors.h"

namespace tlv::wire {

class Request;
class Response;

// Why the last connect or handshake failed.
enum class ConnectFault {
    None,             // it succeeded, or none was tried
    Refused,          // nothing listens at host:port
    TimedOut,         // no answer within the call timeout, to the connect or in the handshake
    HostNotFound,     // the host name leads to no address
    Unreachable,      // another failure of the network: failureReason has the system's words
    KeyRejected,      // the two sides hold different keys
    VersionMismatch,  // the server speaks another protocol version (serverProtocolVersion)
    Broken,           // the handshake ended otherwise: closed, reset, a frame that makes no sense
    Aborted,          // abort() ended it
};

// TLV_CALL_TIMEOUT_MS when it holds a positive number of milliseconds (at most an hour),
// else 10 s.
std::chrono::milliseconds callTimeoutFromEnvironment();

class ClientConnection final {
public:
    explicit ClientConnection(std::chrono::milliseconds callTimeout = callTimeoutFromEnvironment());
    ~ClientConnection();
    ClientConnection(const ClientConnection&) = delete;
    ClientConnection& operator=(const ClientConnection&) = delete;

    // Opens the TCP connection. CTerr_ConnectRefused when the host cannot be resolved or nothing
    // accepts at host:port within the timeout; failureReason then says which.
    CTerror connect(const std::string& host, std::uint16_t port);

    // Shakes TLS hands with adminKey as the pre-shared key, then exchanges Hello/HelloReply.
    // CTerr_KeyRejected when the server refuses our key or cannot prove it holds it;
    // CTerr_ProtocolMismatch when the server refuses our protocol version (the connection is
    // then closed); CTerr_ConnectionLost on any other failure.
    CTerror handshake(const std::string& clientName, const std::string& adminKey);

    // Sends request (its id is assigned here) and waits for the response with the same id.
    // CTerr_NoError when a response arrived (its own error field carries the call's outcome).
    CTerror call(Request& request, Response& response);

    // As call, but hands over each part of the answer (answer_parts.h) as it arrives, checked to
    // continue the answer (answer_stream.h), instead of gathering them: only one part is held
    // at a time. A small answer is one part. onPart returns false when the part cannot be used:
    // the connection is then dead and the call fails.
    CTerror callInParts(Request& request, const std::function<bool(Response& part)>& onPart);

    // Connected, handshake done and not dead.
    bool isUsable() const;
    const std::string& serverName() const;
    // Why the last connect found no server: "connection refused", "timed out", "host not
    // found" or the system's words; "" after a connect that succeeded.
    const std::string& failureReason() const;
    // What ended the last connect or handshake.
    ConnectFault lastFault() const;
    // The version the server's HelloReply named, also when it refused ours; 0 before one came.
    std::uint32_t serverProtocolVersion() const;
    std::chrono::milliseconds callTimeout() const;

    // Closes the connection; later calls fail with CTerr_ConnectionLost.
    void close();

    // Ends the connection from any thread, also while another thread waits in a call of it:
    // that call and every later one fail with CTerr_ConnectionLost. The only member that may be
    // called from a thread other than the one making the calls.
    void abort();

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tlv::wire
