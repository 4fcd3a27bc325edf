#pragma once
// One client connection: handshake, then requests answered one at a time, in order. A
// malformed or oversized frame, a bad handshake or a client that stalls drops this connection
// only. While a request is being answered nothing more is read, so a flooding client cannot
// make the server buffer without bound.

#include <array>
#include <asio.hpp>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "s100/proto/admin.pb.h"
#include "s100/wire/answer_parts.h"
#include "s100/wire/frame.h"
#include "server/admin_handler.h"
#include "server/fault_plan.h"

namespace tlv::server {

struct SessionContext {
    AdminHandler& handler;
    FaultPlan& faults;
    std::string serverName;
};

class ClientSession final : public std::enable_shared_from_this<ClientSession> {
public:
    using ClosedCallback = std::function<void(ClientSession*)>;
    ClientSession(asio::ip::tcp::socket socket, SessionContext& context, ClosedCallback closed);

    void start();
    void close();

private:
    void readMore();
    void processFrames();
    bool onHello(const tlv::wire::ClientFrame& frame);
    void onRequest(const tlv::wire::Request& request);
    void answer(const tlv::wire::Request& request);
    void sendNextPart();
    void send(const tlv::wire::ServerFrame& frame, bool closeAfter);
    void armWatchdog(std::chrono::seconds after);
    void disarmWatchdog();

    asio::ip::tcp::socket m_socket;
    SessionContext& m_context;
    ClosedCallback m_closed;
    asio::steady_timer m_watchdog;
    asio::steady_timer m_delay;
    unsigned m_watchdogGeneration = 0;
    tlv::wire::FrameDecoder m_decoder;
    std::array<char, 64 * 1024> m_readBuffer{};
    std::string m_writeBuffer;
    std::optional<tlv::wire::AnswerSplitter> m_parts;  // the answer being sent, while parts remain
    bool m_helloDone = false;
    bool m_busy = false;  // a request is being answered
    bool m_reading = false;
    bool m_closing = false;
};

}  // namespace tlv::server
