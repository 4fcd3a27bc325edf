#include "server/client_session.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <utility>

#include "server/log.h"

namespace tlv::server {
namespace {

// A client has this long from its connection to prove it holds the key, from the first byte of a
// frame to its last, and to take an answer off the wire.
constexpr std::chrono::seconds kHandshakeTimeout{5};
constexpr std::chrono::seconds kStallTimeout{30};

// What a client may send before its key is proven: a ClientHello offering one key and its
// Finished take well under 1 KiB. OpenSSL refuses a record header above 16 KiB + 256 at once and
// otherwise waits for the whole record in its one fixed buffer; this caps what it is given.
constexpr std::size_t kMaxPreKeyBytes = 4 * 1024;
// Then the Hello: one frame of at most kMaxHandshakeFrameBytes in one record, with room for the
// record's own bytes.
constexpr std::size_t kMaxHelloBytes = tlv::wire::kMaxHandshakeFrameBytes + 256;

asio::ip::tcp::endpoint remoteEndpointOf(const asio::ip::tcp::socket& socket) {
    asio::error_code ignored;
    return socket.remote_endpoint(ignored);
}

// The proof of a client that offered our key's id did not verify: its binder, or its Finished.
bool proofFailed(const asio::error_code& error) {
    if (error.category() != asio::error::get_ssl_category()) {
        return false;
    }
    const int reason = ERR_GET_REASON(static_cast<unsigned long>(error.value()));
    return reason == SSL_R_BINDER_DOES_NOT_VERIFY || reason == SSL_R_DIGEST_CHECK_FAILED;
}

// What a connection may hold of a frame begun without drawing on the shared budget, so that
// ordinary calls never wait for room.
constexpr std::size_t kBytesOutsideBudget = 64 * 1024;

// Frames from this size on are decoded on the worker: below it decoding takes well under a
// millisecond.
constexpr std::size_t kDecodeAsideBytes = 64 * 1024;

}  // namespace

ClientSession::ClientSession(asio::ip::tcp::socket socket, SessionContext& context,
                             ClosedCallback closed)
    : m_peer(remoteEndpointOf(socket)),
      m_channel(std::move(socket), context.tls.native_handle()),
      m_context(context),
      m_closed(std::move(closed)),
      m_watchdog(m_channel.socket().get_executor()),
      m_delay(m_channel.socket().get_executor()),
      m_handshake(m_context.serverName),
      m_lastActivity(std::chrono::steady_clock::now()) {}

void ClientSession::start() {
    asio::error_code ignored;
    m_channel.socket().set_option(asio::ip::tcp::no_delay(true), ignored);
    armWatchdog(kHandshakeTimeout, "did not complete its handshake in time");
    m_channel.allow(kMaxPreKeyBytes);
    if (!m_channel.isValid() ||
        !tlv::wire::watchOfferedKey(m_channel.nativeHandle(), m_offeredKey)) {
        logEvent("dropping a client: no TLS state for it");
        close();
        return;
    }
    m_channel.handshake(
        [self = shared_from_this()](const asio::error_code& error) { self->onTlsHandshake(error); });
}

void ClientSession::onTlsHandshake(const asio::error_code& error) {
    if (m_closing) {
        return;
    }
    if (error) {
        onTlsFailure(error);
        return;
    }
    m_channel.allow(kMaxHelloBytes);
    readMore();
}

// A refused key is one line in the form server/README.md documents (fail2ban reads it), and
// counts against the client's source; any other failure is an ordinary drop.
void ClientSession::onTlsFailure(const asio::error_code& error) {
    using Kind = tlv::wire::OfferedKey::Kind;
    const bool unknown = m_offeredKey.kind == Kind::Unknown;
    if (unknown || (m_offeredKey.kind == Kind::Ours && proofFailed(error))) {
        logEvent("refused admin key from %s (%s %s)", endpointText(m_peer).c_str(),
                 unknown ? "unknown key" : "proof failed for key",
                 printableToken(m_offeredKey.id).c_str());
        m_context.keyFailures.noteFailure(m_peer.address(), KeyFailures::Clock::now());
    } else {
        logEvent("dropping a client from %s that did not complete its TLS handshake: %s",
                 endpointText(m_peer).c_str(), error.message().c_str());
    }
    close();
}

bool ClientSession::isIdle() const {
    return m_authenticated && !m_busy && !m_closing && m_decoder.buffered() == 0;
}

void ClientSession::close() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    m_channel.close();
    m_watchdog.cancel();
    m_delay.cancel();
    releaseFrame();
    m_context.output.discharge(this);
    m_answer.reset();  // a snapshot it reads from ends now, not when the last handler lets go
    if (m_closed) {
        auto closed = std::move(m_closed);
        closed(this);  // may release the last owner but one: the handlers still hold us
    }
}

void ClientSession::readMore() {
    if (m_reading || m_busy || m_closing || m_waitingForRoom) {
        return;
    }
    if (!reserveFrame()) {
        waitForRoom();
        return;
    }
    // Never more than the frame begun has room for: the next frame's bytes wait for their own.
    const std::size_t room = kBytesOutsideBudget + m_reserved;
    const std::size_t held = m_decoder.buffered();
    const std::size_t wanted = std::min(m_readBuffer.size(), room > held ? room - held : 0);
    if (wanted == 0) {
        return;
    }
    m_reading = true;
    m_channel.readSome(
        m_readBuffer.data(), wanted,
        [self = shared_from_this()](const asio::error_code& error, std::size_t received) {
            self->m_reading = false;
            if (error || self->m_closing) {
                self->close();
                return;
            }
            self->m_decoder.feed(self->m_readBuffer.data(), received);
            self->processFrames();
        });
}

// A frame beyond the connection's own room is read on only once its whole size is reserved, so
// that every frame being read can complete and none holds the others up half-read.
bool ClientSession::reserveFrame() {
    const std::size_t frame = m_decoder.pendingFrameBytes();
    const std::size_t needed = frame > kBytesOutsideBudget ? frame - kBytesOutsideBudget : 0;
    if (needed <= m_reserved) {
        return true;
    }
    if (!m_context.budget.reserve(needed - m_reserved)) {
        return false;
    }
    m_reserved = needed;
    return true;
}

// The frame's bytes are gone (handled, or decoded aside): its reservation goes back.
void ClientSession::releaseFrame() {
    const std::size_t reserved = std::exchange(m_reserved, 0);
    m_context.budget.give(reserved);
}

void ClientSession::waitForRoom() {
    m_waitingForRoom = true;
    m_context.budget.waitForRoom([weak = weak_from_this(),
                                  executor = m_channel.socket().get_executor()] {
        asio::post(executor, [weak] {
            if (const auto self = weak.lock()) {
                self->m_waitingForRoom = false;
                self->readMore();
            }
        });
    });
}

// Answers the frames received, one at a time. An answer the socket takes at once lets the loop
// here go on to the next frame, rather than a call from the write's end (which would nest as
// deep as the client has frames waiting).
void ClientSession::processFrames() {
    const bool nested = std::exchange(m_processing, true);
    const bool frameTakenOut = answerFrames();
    m_processing = nested;
    if (m_closing || nested) {
        return;
    }
    timeFrame(frameTakenOut);
    readMore();
}

// True when a frame was taken out.
bool ClientSession::answerFrames() {
    bool frameTakenOut = false;
    while (!m_busy && !m_closing) {
        std::string_view payload;
        const tlv::wire::FrameStatus status = m_decoder.nextView(payload);
        if (status == tlv::wire::FrameStatus::Oversized) {
            logEvent("dropping a client that sent an oversized frame");
            close();
            break;
        }
        if (status == tlv::wire::FrameStatus::NeedMore) {
            break;
        }
        frameTakenOut = true;
        m_lastActivity = std::chrono::steady_clock::now();
        if (decodeAside(payload)) {
            break;
        }
        tlv::wire::ClientFrame frame;
        const bool parsed = tlv::wire::parseFrame(payload, frame);
        releaseFrame();
        if (!handleFrame(parsed, frame)) {
            break;
        }
    }
    return frameTakenOut;
}

// A large frame is decoded on the worker while this client waits (nothing more is read), its
// bytes still counted in the shared budget until then.
bool ClientSession::decodeAside(std::string_view payload) {
    if (!m_authenticated || payload.size() < kDecodeAsideBytes) {
        return false;
    }
    m_busy = true;
    m_context.decoder.decode(
        std::string(payload), m_channel.socket().get_executor(),
        [self = shared_from_this()](bool parsed, tlv::wire::ClientFrame& frame) {
            self->releaseFrame();
            self->m_busy = false;
            if (!self->m_closing && self->handleFrame(parsed, frame)) {
                self->processFrames();
            }
        });
    return true;
}

// False when the frame ended the connection.
bool ClientSession::handleFrame(bool parsed, const tlv::wire::ClientFrame& frame) {
    if (!parsed) {
        logEvent("dropping a client that sent a malformed frame");
        close();
        return false;
    }
    if (!m_authenticated) {
        return onHandshakeFrame(frame);
    }
    if (!frame.has_request()) {
        logEvent("dropping a client that repeated its handshake");
        close();
        return false;
    }
    onRequest(frame.request());
    return true;
}

// A frame begun must be complete kStallTimeout after its first byte, however slowly the rest
// trickles in; between frames an authenticated client may stay idle. Before that, the
// handshake deadline runs from the connection on.
void ClientSession::timeFrame(bool frameTakenOut) {
    if (!m_authenticated || m_busy) {
        return;
    }
    if (frameTakenOut) {
        m_frameTimed = false;
    }
    if (m_decoder.buffered() == 0) {
        m_frameTimed = false;
        disarmWatchdog();
    } else if (!m_frameTimed) {
        m_frameTimed = true;
        armWatchdog(kStallTimeout, "did not finish a frame in time");
    }
}

bool ClientSession::onHandshakeFrame(const tlv::wire::ClientFrame& frame) {
    tlv::wire::ServerFrame reply;
    if (frame.has_hello()) {
        m_clientName = frame.hello().client_name();
    }
    std::string why;
    switch (m_handshake.onFrame(frame, reply, why)) {
        case ServerHandshake::Step::Authenticated:
            if (!m_context.roster.authenticate(this)) {
                logEvent("refusing a client: every client is busy");
                close();
                return false;
            }
            m_authenticated = true;
            m_channel.allowAnything();
            m_decoder.setMaxFrameBytes(tlv::wire::kMaxFrameBytes);
            logConnected();
            send(reply, false);
            return true;
        case ServerHandshake::Step::Refuse:
            logEvent("refusing a client that speaks another protocol version");
            send(reply, true);
            return false;
        case ServerHandshake::Step::Drop:
            break;
    }
    logEvent("dropping a client that %s", why.c_str());
    close();
    return false;
}

void ClientSession::logConnected() {
    logEvent("client %s connected from %s", printable(m_clientName).c_str(),
             endpointText(m_peer).c_str());
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
    if (const auto failure = m_context.faults.takeFailure(callName(request.call_case()))) {
        tlv::wire::Response refusal;
        refusal.set_id(request.id());
        refusal.set_error(*failure);
        m_answer = std::make_unique<WholeAnswer>(std::move(refusal));
    } else {
        m_answer = m_context.handler.answer(request);
    }
    sendNextPart();
}

// One part is produced and written at a time; the next is produced when the client took it. A
// part the socket took at once is followed up here, once its source is done producing it.
void ClientSession::sendNextPart() {
    m_busy = true;
    m_producing = true;
    m_answer->next([weak = weak_from_this()](std::string frame, bool more) {
        const auto self = weak.lock();
        if (!self || self->m_closing) {
            return;
        }
        if (frame.empty()) {
            logEvent("dropping a client whose answer the store could not go on with");
            self->close();
            return;
        }
        self->m_moreParts = more;
        self->m_context.output.charge(self.get(), frame.size(), [weak] {
            if (const auto unread = weak.lock()) {
                logEvent("dropping a client that left an answer unread longest: the answers "
                         "waiting for all clients reached their limit");
                unread->close();
            }
        });
        self->write(std::move(frame), false);
    });
    m_producing = false;
    if (std::exchange(m_sentWhileProducing, false)) {
        onWritten({}, false);
    }
}

void ClientSession::send(const tlv::wire::ServerFrame& frame, bool closeAfter) {
    std::string bytes;
    tlv::wire::encodeFrame(frame, bytes);
    write(std::move(bytes), closeAfter);
}

void ClientSession::write(std::string bytes, bool closeAfter) {
    m_writeBuffer = std::move(bytes);
    m_busy = true;
    m_frameTimed = false;  // the watchdog now times the answer
    if (m_authenticated) {
        armWatchdog(kStallTimeout, "did not take its answer in time");
    }
    const bool sent = m_channel.write(
        m_writeBuffer.data(), m_writeBuffer.size(),
        [self = shared_from_this(), closeAfter](const asio::error_code& error) {
            self->onWritten(error, closeAfter);
        });
    if (!sent) {
        return;
    }
    if (m_producing) {
        m_sentWhileProducing = true;
        return;
    }
    onWritten({}, closeAfter);
}

void ClientSession::onWritten(const asio::error_code& error, bool closeAfter) {
    m_context.output.discharge(this);
    m_writeBuffer = std::string{};
    m_busy = false;
    m_lastActivity = std::chrono::steady_clock::now();
    if (error || closeAfter) {
        close();
        return;
    }
    if (m_answer && m_moreParts) {
        sendNextPart();
        return;
    }
    m_answer.reset();
    processFrames();
}

// Arming only notes the deadline: every answer arms the watchdog, and changing the timer each
// time would cost more than the answer. The timer waits for the earliest deadline it was set
// for and, when it wakes, looks at the one in force.
void ClientSession::armWatchdog(std::chrono::seconds after, const char* why) {
    m_watchdogDue = std::chrono::steady_clock::now() + after;
    m_watchdogWhy = why;
    if (!m_watchdogWaiting || m_watchdogDue < m_watchdogWakesAt) {
        waitForWatchdog();
    }
}

void ClientSession::disarmWatchdog() {
    m_watchdogDue = std::chrono::steady_clock::time_point::max();
}

void ClientSession::waitForWatchdog() {
    m_watchdogWaiting = true;
    m_watchdogWakesAt = m_watchdogDue;
    m_watchdog.expires_at(m_watchdogDue);  // a wait already running ends as aborted
    m_watchdog.async_wait([self = shared_from_this()](const asio::error_code& error) {
        if (error || self->m_closing) {
            return;
        }
        self->m_watchdogWaiting = false;
        if (self->m_watchdogDue == std::chrono::steady_clock::time_point::max()) {
            return;
        }
        if (std::chrono::steady_clock::now() < self->m_watchdogDue) {
            self->waitForWatchdog();
            return;
        }
        logEvent("dropping a client that %s", self->m_watchdogWhy);
        self->close();
    });
}

}  // namespace tlv::server
