#include "server/client_session.h"

#include <cstdio>

namespace tlv::server {
namespace {

// A client has this long to complete its handshake, to finish sending a frame it began, and
// to take an answer off the wire.
constexpr std::chrono::seconds kHandshakeTimeout{10};
constexpr std::chrono::seconds kStallTimeout{30};

}  // namespace

ClientSession::ClientSession(asio::ip::tcp::socket socket, SessionContext& context,
                             ClosedCallback closed)
    : m_socket(std::move(socket)),
      m_context(context),
      m_closed(std::move(closed)),
      m_watchdog(m_socket.get_executor()),
      m_delay(m_socket.get_executor()) {}

void ClientSession::start() {
    asio::error_code ignored;
    m_socket.set_option(asio::ip::tcp::no_delay(true), ignored);
    armWatchdog(kHandshakeTimeout);
    readMore();
}

void ClientSession::close() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    asio::error_code ignored;
    m_socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    m_socket.close(ignored);
    m_watchdog.cancel();
    m_delay.cancel();
    if (m_closed) {
        auto closed = std::move(m_closed);
        closed(this);  // may release the last owner but one: the handlers still hold us
    }
}

void ClientSession::readMore() {
    if (m_reading || m_busy || m_closing) {
        return;
    }
    m_reading = true;
    m_socket.async_read_some(
        asio::buffer(m_readBuffer),
        [self = shared_from_this()](const asio::error_code& error, std::size_t received) {
            self->m_reading = false;
            if (error) {
                self->close();
                return;
            }
            self->m_decoder.feed(self->m_readBuffer.data(), received);
            self->processFrames();
        });
}

void ClientSession::processFrames() {
    std::string payload;
    while (!m_busy && !m_closing) {
        const tlv::wire::FrameStatus status = m_decoder.next(payload);
        if (status == tlv::wire::FrameStatus::Oversized) {
            std::fprintf(stderr, "tlvsd: dropping a client that sent an oversized frame\n");
            close();
            return;
        }
        if (status == tlv::wire::FrameStatus::NeedMore) {
            break;
        }
        tlv::wire::ClientFrame frame;
        if (!tlv::wire::parseFrame(payload, frame)) {
            std::fprintf(stderr, "tlvsd: dropping a client that sent a malformed frame\n");
            close();
            return;
        }
        if (!m_helloDone) {
            if (!onHello(frame)) {
                return;
            }
            continue;
        }
        if (!frame.has_request()) {
            std::fprintf(stderr, "tlvsd: dropping a client that repeated its handshake\n");
            close();
            return;
        }
        onRequest(frame.request());
    }
    if (m_helloDone && !m_busy) {
        // A frame begun must be finished in time; between frames a client may stay idle.
        if (m_decoder.buffered() > 0) {
            armWatchdog(kStallTimeout);
        } else {
            disarmWatchdog();
        }
    }
    readMore();
}

bool ClientSession::onHello(const tlv::wire::ClientFrame& frame) {
    if (!frame.has_hello()) {
        std::fprintf(stderr, "tlvsd: dropping a client that skipped the handshake\n");
        close();
        return false;
    }
    tlv::wire::ServerFrame reply;
    const bool accepted = frame.hello().protocol_version() == tlv::wire::kProtocolVersion;
    reply.mutable_hello()->set_accepted(accepted);
    reply.mutable_hello()->set_protocol_version(tlv::wire::kProtocolVersion);
    reply.mutable_hello()->set_server_name(m_context.serverName);
    m_helloDone = accepted;
    send(reply, !accepted);
    return accepted;
}

void ClientSession::onRequest(const tlv::wire::Request& request) {
    m_busy = true;
    const auto delay = m_context.faults.delayFor(callName(request.call_case()));
    if (delay.count() == 0) {
        answer(request);
        return;
    }
    m_delay.expires_after(delay);
    m_delay.async_wait([self = shared_from_this(), request](const asio::error_code& error) {
        if (!error && !self->m_closing) {
            self->answer(request);
        }
    });
}

void ClientSession::answer(const tlv::wire::Request& request) {
    tlv::wire::Response response;
    if (const auto failure = m_context.faults.takeFailure(callName(request.call_case()))) {
        response.set_id(request.id());
        response.set_error(*failure);
    } else {
        m_context.handler.handle(request, response);
    }
    m_parts.emplace(std::move(response));
    sendNextPart();
}

// One part is encoded and written at a time; the next follows when the client took it.
void ClientSession::sendNextPart() {
    tlv::wire::ServerFrame frame;
    m_parts->next(*frame.mutable_response());
    if (!frame.response().more()) {
        m_parts.reset();
    }
    send(frame, false);
}

void ClientSession::send(const tlv::wire::ServerFrame& frame, bool closeAfter) {
    m_writeBuffer.clear();
    if (!tlv::wire::encodeFrame(frame, m_writeBuffer)) {
        // Only an answer above the frame limit gets here: say so rather than go silent.
        tlv::wire::ServerFrame refusal;
        refusal.mutable_response()->set_id(frame.response().id());
        refusal.mutable_response()->set_error(CTerr_LimitExceeded);
        m_writeBuffer.clear();
        tlv::wire::encodeFrame(refusal, m_writeBuffer);
    }
    m_busy = true;
    armWatchdog(kStallTimeout);
    asio::async_write(
        m_socket, asio::buffer(m_writeBuffer),
        [self = shared_from_this(), closeAfter](const asio::error_code& error, std::size_t) {
            self->m_busy = false;
            if (error || closeAfter) {
                self->close();
                return;
            }
            if (self->m_parts) {
                self->sendNextPart();
                return;
            }
            self->processFrames();
        });
}

void ClientSession::armWatchdog(std::chrono::seconds after) {
    const unsigned generation = ++m_watchdogGeneration;
    m_watchdog.expires_after(after);
    m_watchdog.async_wait([self = shared_from_this(), generation](const asio::error_code& error) {
        if (!error && generation == self->m_watchdogGeneration) {
            std::fprintf(stderr, "tlvsd: dropping a client that stalled\n");
            self->close();
        }
    });
}

void ClientSession::disarmWatchdog() {
    ++m_watchdogGeneration;
    m_watchdog.cancel();
}

}  // namespace tlv::server
