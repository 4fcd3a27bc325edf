#include "s100/wire/client.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <array>
#include <asio.hpp>
#include <asio/ssl.hpp>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <optional>

#include "s100/proto/admin.pb.h"
#include "s100/wire/answer_parts.h"
#include "s100/wire/answer_stream.h"
#include "s100/wire/frame.h"
#include "s100/wire/tls_psk.h"

namespace tlv::wire {
namespace {

constexpr std::chrono::milliseconds kDefaultCallTimeout{10000};
constexpr long kMaxCallTimeoutMs = 3600L * 1000L;

using Clock = std::chrono::steady_clock;
using TlsStream = asio::ssl::stream<asio::ip::tcp::socket>;

// One context serves every connection of the process; each connection brings its own key.
asio::ssl::context* clientContext() {
    static const std::unique_ptr<asio::ssl::context> context = []() {
        SSL_CTX* native = newClientTlsContext();
        return native != nullptr ? std::make_unique<asio::ssl::context>(native) : nullptr;
    }();
    return context.get();
}

// What an operator is told when nothing answered at an address.
std::string unanswered(const asio::error_code& error) {
    if (error == asio::error::timed_out) {
        return "timed out";
    }
    if (error == asio::error::connection_refused) {
        return "connection refused";
    }
    return error.message();
}

ConnectFault unansweredFault(const asio::error_code& error) {
    if (error == asio::error::timed_out) {
        return ConnectFault::TimedOut;
    }
    if (error == asio::error::connection_refused) {
        return ConnectFault::Refused;
    }
    return ConnectFault::Unreachable;
}

// The handshake ended because one side does not hold the other's key: the server found no key
// of its own in our offer or our proof did not verify (its alerts), or the server could not
// prove the key (its Finished did not verify, or it tried a certificate instead).
bool keyRefused(const asio::error_code& error) {
    if (error.category() != asio::error::get_ssl_category()) {
        return false;
    }
    switch (ERR_GET_REASON(static_cast<unsigned long>(error.value()))) {
        case SSL_R_SSLV3_ALERT_HANDSHAKE_FAILURE:
        case SSL_R_TLSV1_ALERT_DECRYPT_ERROR:
        case SSL_R_DIGEST_CHECK_FAILED:
        case SSL_R_CERTIFICATE_VERIFY_FAILED:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::chrono::milliseconds callTimeoutFromEnvironment() {
    const char* text = std::getenv("TLV_CALL_TIMEOUT_MS");
    if (text == nullptr || *text == '\0') {
        return kDefaultCallTimeout;
    }
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value <= 0 || value > kMaxCallTimeoutMs) {
        return kDefaultCallTimeout;
    }
    return std::chrono::milliseconds{value};
}

class ClientConnection::Impl final {
public:
    explicit Impl(std::chrono::milliseconds timeout) : m_timeout(timeout) {}

    CTerror connect(const std::string& host, std::uint16_t port);
    CTerror handshake(const std::string& clientName, const std::string& adminKey);
    CTerror call(Request& request, Response& response);
    CTerror callInParts(Request& request, const std::function<bool(Response&)>& onPart);
    void close();
    void closeForGood();
    void abort();

    bool usable() const {
        return m_stream && m_stream->lowest_layer().is_open() && m_handshakeDone && !m_dead &&
               !m_aborted;
    }
    const std::string& serverName() const { return m_serverName; }
    const std::string& failureReason() const { return m_failureReason; }
    ConnectFault lastFault() const { return m_fault; }
    std::uint32_t serverVersion() const { return m_serverVersion; }
    std::chrono::milliseconds timeout() const { return m_timeout; }

private:
    // Runs the io_context until the started operation completes or the deadline passes; on
    // timeout cancel() is called so the operation finishes, and the result is timed_out.
    template <typename Cancel>
    asio::error_code waitFor(Clock::time_point deadline, Cancel cancel);
    asio::error_code waitForSocket(Clock::time_point deadline);
    bool sendFrame(const ClientFrame& frame, Clock::time_point deadline);
    bool receiveFrame(ServerFrame& frame, Clock::time_point deadline,
                      std::size_t* frameBytes = nullptr);
    // Sends request with the next id; false when it could not be sent.
    bool sendRequest(Request& request);
    // Receives the parts of the answer to id, handing each with its frame size to take until
    // take says Complete (true) or Invalid (false).
    template <typename Take>
    bool receiveParts(std::uint64_t id, Take take);
    CTerror shakeTlsHands(const std::string& adminKey, Clock::time_point deadline);
    CTerror fail();
    // A handshake that ended without a verdict: timed out, given up or broken.
    CTerror failHandshake();

    std::chrono::milliseconds m_timeout;
    asio::io_context m_io;
    std::optional<TlsStream> m_stream;  // made anew by each connect
    FrameDecoder m_decoder;
    std::array<char, 64 * 1024> m_readBuffer{};
    std::uint64_t m_lastRequestId = 0;
    std::string m_serverName;
    std::string m_failureReason;
    ConnectFault m_fault = ConnectFault::None;
    std::uint32_t m_serverVersion = 0;
    bool m_timedOut = false;  // the last wait ended at its deadline
    bool m_handshakeDone = false;
    bool m_dead = false;
    std::atomic<bool> m_aborted{false};
    asio::error_code m_result;
    bool m_completed = false;
};

template <typename Cancel>
asio::error_code ClientConnection::Impl::waitFor(Clock::time_point deadline, Cancel cancel) {
    m_io.restart();
    while (!m_completed && !m_aborted) {
        const auto now = Clock::now();
        if (now >= deadline) {
            break;
        }
        m_io.run_one_for(deadline - now);
    }
    m_timedOut = !m_completed && !m_aborted;
    if (!m_completed) {
        cancel();
        m_io.restart();
        m_io.run();  // lets the cancelled operation finish
        return asio::error::timed_out;
    }
    return m_result;
}

asio::error_code ClientConnection::Impl::waitForSocket(Clock::time_point deadline) {
    return waitFor(deadline, [this] {
        asio::error_code ignored;
        m_stream->lowest_layer().close(ignored);
    });
}

CTerror ClientConnection::Impl::connect(const std::string& host, std::uint16_t port) {
    if (m_aborted) {
        m_fault = ConnectFault::Aborted;
        return fail();
    }
    close();
    m_dead = false;
    m_failureReason.clear();
    m_fault = ConnectFault::None;
    m_serverVersion = 0;
    asio::ssl::context* context = clientContext();
    if (context == nullptr) {
        m_failureReason = "TLS is not available";
        m_fault = ConnectFault::Unreachable;
        return CTerr_ConnectRefused;
    }
    m_stream.emplace(m_io, *context);
    const auto deadline = Clock::now() + m_timeout;

    asio::ip::tcp::resolver resolver{m_io};
    asio::ip::tcp::resolver::results_type endpoints;
    m_completed = false;
    resolver.async_resolve(host, std::to_string(port),
                           [this, &endpoints](const asio::error_code& result,
                                              asio::ip::tcp::resolver::results_type found) {
                               m_result = result;
                               endpoints = std::move(found);
                               m_completed = true;
                           });
    asio::error_code ec = waitFor(deadline, [&resolver] { resolver.cancel(); });
    if (m_aborted) {
        m_fault = ConnectFault::Aborted;
        return fail();
    }
    if (ec) {
        // Whatever the resolver says, the name led to no address.
        const bool timedOut = ec == asio::error::timed_out;
        m_failureReason = timedOut ? "timed out" : "host not found";
        m_fault = timedOut ? ConnectFault::TimedOut : ConnectFault::HostNotFound;
        return CTerr_ConnectRefused;
    }
    m_completed = false;
    asio::async_connect(m_stream->lowest_layer(), endpoints,
                        [this](const asio::error_code& result, const asio::ip::tcp::endpoint&) {
                            m_result = result;
                            m_completed = true;
                        });
    ec = waitForSocket(deadline);
    if (m_aborted) {
        m_fault = ConnectFault::Aborted;
        return fail();
    }
    if (ec) {
        asio::error_code ignored;
        m_stream->lowest_layer().close(ignored);
        m_failureReason = unanswered(ec);
        m_fault = unansweredFault(ec);
        return CTerr_ConnectRefused;
    }
    m_stream->lowest_layer().set_option(asio::ip::tcp::no_delay(true), ec);
    return CTerr_NoError;
}

CTerror ClientConnection::Impl::handshake(const std::string& clientName,
                                          const std::string& adminKey) {
    if (!m_stream || !m_stream->lowest_layer().is_open() || m_dead || m_handshakeDone) {
        return failHandshake();
    }
    const auto deadline = Clock::now() + m_timeout;
    m_timedOut = false;
    if (const CTerror error = shakeTlsHands(adminKey, deadline); error != CTerr_NoError) {
        return error;
    }
    m_decoder.setMaxFrameBytes(kMaxHandshakeFrameBytes);
    ClientFrame hello;
    hello.mutable_hello()->set_protocol_version(kProtocolVersion);
    hello.mutable_hello()->set_client_name(clientName);
    ServerFrame reply;
    if (!sendFrame(hello, deadline) || !receiveFrame(reply, deadline) || !reply.has_hello()) {
        return failHandshake();
    }
    m_serverVersion = reply.hello().protocol_version();
    if (!reply.hello().accepted() || m_serverVersion != kProtocolVersion) {
        closeForGood();
        m_fault = ConnectFault::VersionMismatch;
        return CTerr_ProtocolMismatch;
    }
    m_serverName = reply.hello().server_name();
    m_decoder.setMaxFrameBytes(kMaxFrameBytes);
    m_handshakeDone = true;
    return CTerr_NoError;
}

// A server that cannot prove it holds the key gets nothing from us: not a byte of a frame.
CTerror ClientConnection::Impl::shakeTlsHands(const std::string& adminKey,
                                              Clock::time_point deadline) {
    if (!offerAdminKey(m_stream->native_handle(), adminKey)) {
        return failHandshake();
    }
    m_completed = false;
    m_stream->async_handshake(asio::ssl::stream_base::client,
                              [this](const asio::error_code& result) {
                                  m_result = result;
                                  m_completed = true;
                              });
    const asio::error_code ec = waitForSocket(deadline);
    if (m_aborted || (ec && !keyRefused(ec))) {
        return failHandshake();
    }
    if (ec || !keyWasUsed(m_stream->native_handle())) {
        closeForGood();
        m_fault = ConnectFault::KeyRejected;
        return CTerr_KeyRejected;
    }
    return CTerr_NoError;
}

CTerror ClientConnection::Impl::call(Request& request, Response& response) {
    AnswerAssembler assembler;
    const auto gather = [&assembler](Response& part, std::size_t frameBytes) {
        return assembler.add(std::move(part), frameBytes);
    };
    if (!sendRequest(request) || !receiveParts(request.id(), gather)) {
        return fail();
    }
    response = std::move(assembler.answer());
    return CTerr_NoError;
}

CTerror ClientConnection::Impl::callInParts(Request& request,
                                            const std::function<bool(Response&)>& onPart) {
    AnswerStream stream;
    const auto handOver = [&stream, &onPart](Response& part, std::size_t frameBytes) {
        const PartStatus status = stream.check(part, frameBytes);
        return status == PartStatus::Invalid || onPart(part) ? status : PartStatus::Invalid;
    };
    if (!sendRequest(request) || !receiveParts(request.id(), handOver)) {
        return fail();
    }
    return CTerr_NoError;
}

bool ClientConnection::Impl::sendRequest(Request& request) {
    if (!usable()) {
        return false;
    }
    request.set_id(++m_lastRequestId);
    ClientFrame frame;
    *frame.mutable_request() = request;
    return sendFrame(frame, Clock::now() + m_timeout);
}

// Each part has the call timeout from when it is awaited, so a large answer that keeps
// arriving is not cut off, while a stalled one is.
template <typename Take>
bool ClientConnection::Impl::receiveParts(std::uint64_t id, Take take) {
    for (;;) {
        ServerFrame reply;
        std::size_t frameBytes = 0;
        if (!receiveFrame(reply, Clock::now() + m_timeout, &frameBytes) || !reply.has_response() ||
            reply.response().id() != id) {
            return false;
        }
        switch (take(*reply.mutable_response(), frameBytes)) {
            case PartStatus::Complete:
                return true;
            case PartStatus::Invalid:
                return false;
            case PartStatus::NeedMore:
                break;
        }
    }
}

bool ClientConnection::Impl::sendFrame(const ClientFrame& frame, Clock::time_point deadline) {
    std::string bytes;
    if (!encodeFrame(frame, bytes)) {
        return false;
    }
    m_completed = false;
    asio::async_write(*m_stream, asio::buffer(bytes),
                      [this](const asio::error_code& result, std::size_t) {
                          m_result = result;
                          m_completed = true;
                      });
    return !waitForSocket(deadline);
}

bool ClientConnection::Impl::receiveFrame(ServerFrame& frame, Clock::time_point deadline,
                                          std::size_t* frameBytes) {
    std::string payload;
    for (;;) {
        switch (m_decoder.next(payload)) {
            case FrameStatus::Frame:
                if (frameBytes != nullptr) {
                    *frameBytes = payload.size();
                }
                return parseFrame(payload, frame);
            case FrameStatus::Oversized:
                return false;
            case FrameStatus::NeedMore:
                break;
        }
        std::size_t received = 0;
        m_completed = false;
        m_stream->async_read_some(asio::buffer(m_readBuffer),
                                 [this, &received](const asio::error_code& result, std::size_t n) {
                                     m_result = result;
                                     received = n;
                                     m_completed = true;
                                 });
        if (waitForSocket(deadline)) {
            return false;
        }
        m_decoder.feed(m_readBuffer.data(), received);
    }
}

CTerror ClientConnection::Impl::fail() {
    closeForGood();
    return CTerr_ConnectionLost;
}

CTerror ClientConnection::Impl::failHandshake() {
    m_fault = m_aborted    ? ConnectFault::Aborted
              : m_timedOut ? ConnectFault::TimedOut
                           : ConnectFault::Broken;
    return fail();
}

void ClientConnection::Impl::closeForGood() {
    close();
    m_dead = true;
}

// The closing runs on the calling thread's loop: a wait in progress there sees its operation
// end, and a call made later finds the connection unusable before it starts.
void ClientConnection::Impl::abort() {
    m_aborted = true;
    asio::post(m_io, [this] { closeForGood(); });
}

// No close_notify: the peer reads the end of the stream between frames either way, and a
// connection given up on must not wait for its peer to take another record.
void ClientConnection::Impl::close() {
    if (m_stream) {
        asio::error_code ignored;
        m_stream->lowest_layer().shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
        m_stream->lowest_layer().close(ignored);
    }
    m_decoder = FrameDecoder{};
    m_handshakeDone = false;
}

ClientConnection::ClientConnection(std::chrono::milliseconds callTimeout)
    : m_impl(std::make_unique<Impl>(callTimeout)) {}

ClientConnection::~ClientConnection() = default;

CTerror ClientConnection::connect(const std::string& host, std::uint16_t port) {
    return m_impl->connect(host, port);
}

CTerror ClientConnection::handshake(const std::string& clientName, const std::string& adminKey) {
    return m_impl->handshake(clientName, adminKey);
}

CTerror ClientConnection::call(Request& request, Response& response) {
    return m_impl->call(request, response);
}

CTerror ClientConnection::callInParts(Request& request,
                                      const std::function<bool(Response&)>& onPart) {
    return m_impl->callInParts(request, onPart);
}

bool ClientConnection::isUsable() const {
    return m_impl->usable();
}

const std::string& ClientConnection::serverName() const {
    return m_impl->serverName();
}

const std::string& ClientConnection::failureReason() const {
    return m_impl->failureReason();
}

ConnectFault ClientConnection::lastFault() const {
    return m_impl->lastFault();
}

std::uint32_t ClientConnection::serverProtocolVersion() const {
    return m_impl->serverVersion();
}

std::chrono::milliseconds ClientConnection::callTimeout() const {
    return m_impl->timeout();
}

void ClientConnection::close() {
    m_impl->closeForGood();
}

void ClientConnection::abort() {
    m_impl->abort();
}

}  // namespace tlv::wire
