#pragma once
// One client connection: the TLS handshake (the client proves it holds the admin key,
// tls_psk.h), its Hello (auth.h), then requests answered one at a time, in order. Until the
// Hello is answered the client gets 5 s from its connection and a few KiB of records
// (tls_channel.h). A malformed or oversized frame, a bad handshake or
// a client that stalls drops this connection only. While a request is being answered nothing
// more is read, and a large frame is read only once its whole size is reserved from the budget
// all connections share, so a flooding client cannot make the server buffer without bound. An
// answer is pulled from its source part by part, each part once the client took the last.

#include <array>
#include <asio.hpp>
#include <asio/ssl/context.hpp>
#include <functional>
#include <memory>
#include <string>

#include "s100/proto/admin.pb.h"
#include "s100/wire/frame.h"
#include "s100/wire/tls_psk.h"
#include "server/admin_handler.h"
#include "server/auth.h"
#include "server/buffer_budget.h"
#include "server/connection_limits.h"
#include "server/decode_worker.h"
#include "server/output_budget.h"
#include "server/fault_plan.h"
#include "server/key_failures.h"
#include "server/tls_channel.h"

namespace tlv::server {

struct SessionContext {
    AdminHandler& handler;
    FaultPlan& faults;
    std::string serverName;
    asio::ssl::context& tls;
    KeyFailures& keyFailures;
    ClientRoster& roster;
    BufferBudget& budget;
    DecodeWorker& decoder;
    OutputBudget& output;
};

class ClientSession final : public std::enable_shared_from_this<ClientSession> {
public:
    using ClosedCallback = std::function<void(ClientSession*)>;
    ClientSession(asio::ip::tcp::socket socket, SessionContext& context, ClosedCallback closed);

    void start();
    void close();
    // The name the client gave in its handshake; "" before it.
    const std::string& clientName() const { return m_clientName; }
    // The client proved it holds the admin key and its Hello was accepted.
    bool isAuthenticated() const { return m_authenticated; }

    // Where the client connects from.
    const asio::ip::tcp::endpoint& peer() const { return m_peer; }

    // Authenticated, nothing being answered and no frame begun.
    bool isIdle() const;
    std::chrono::steady_clock::time_point idleSince() const { return m_lastActivity; }

private:
    void onTlsHandshake(const asio::error_code& error);
    void onTlsFailure(const asio::error_code& error);
    void readMore();
    bool reserveFrame();
    void releaseFrame();
    void waitForRoom();
    void processFrames();
    bool answerFrames();
    bool decodeAside(std::string_view payload);
    bool handleFrame(bool parsed, const tlv::wire::ClientFrame& frame);
    void timeFrame(bool frameTakenOut);
    bool onHandshakeFrame(const tlv::wire::ClientFrame& frame);
    void logConnected();
    void onRequest(const tlv::wire::Request& request);
    void answer(const tlv::wire::Request& request);
    void sendNextPart();
    void send(const tlv::wire::ServerFrame& frame, bool closeAfter);
    void write(std::string bytes, bool closeAfter);
    void onWritten(const asio::error_code& error, bool closeAfter);
    void armWatchdog(std::chrono::seconds after, const char* why);
    void disarmWatchdog();
    void waitForWatchdog();

    asio::ip::tcp::endpoint m_peer;
    TlsChannel m_channel;
    SessionContext& m_context;
    ClosedCallback m_closed;
    asio::steady_timer m_watchdog;
    asio::steady_timer m_delay;
    std::chrono::steady_clock::time_point m_watchdogDue =
        std::chrono::steady_clock::time_point::max();         // max: disarmed
    std::chrono::steady_clock::time_point m_watchdogWakesAt;  // what the timer waits for
    const char* m_watchdogWhy = "";
    bool m_watchdogWaiting = false;
    tlv::wire::OfferedKey m_offeredKey;
    ServerHandshake m_handshake;
    tlv::wire::FrameDecoder m_decoder{tlv::wire::kMaxHandshakeFrameBytes};
    std::array<char, 64 * 1024> m_readBuffer{};
    std::string m_writeBuffer;
    std::string m_clientName;
    std::size_t m_reserved = 0;  // from the shared budget, for the frame begun
    std::chrono::steady_clock::time_point m_lastActivity;
    bool m_authenticated = false;
    bool m_frameTimed = false;  // the deadline of the frame begun runs
    bool m_busy = false;        // a request is being answered
    std::unique_ptr<AnswerSource> m_answer;  // the answer being sent
    bool m_moreParts = false;                // parts of it follow the one being written
    bool m_reading = false;
    bool m_processing = false;          // processFrames is on the stack: it goes on by itself
    bool m_producing = false;           // the answer's source is producing a part
    bool m_sentWhileProducing = false;  // and the socket took that part at once
    bool m_waitingForRoom = false;
    bool m_closing = false;
};

}  // namespace tlv::server
