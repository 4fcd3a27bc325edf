#include "s100/wire/client.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <asio.hpp>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "s100/proto/admin.pb.h"
#include "s100/wire/answer_parts.h"
#include "s100/wire/answer_stream.h"
#include "s100/wire/deadline_socket.h"
#include "s100/wire/frame.h"
#include "s100/wire/tls_psk.h"

namespace tlv::wire {
namespace {

constexpr std::chrono::milliseconds kDefaultCallTimeout{10000};
constexpr long kMaxCallTimeoutMs = 3600L * 1000L;

// OpenSSL reads ahead into a buffer of this size: a large answer then takes one receive for
// several records.
constexpr std::size_t kTlsReadBufferBytes = 64 * 1024;

using Clock = std::chrono::steady_clock;

// One context serves every connection of the process; each connection brings its own key.
SSL_CTX* clientContext() {
    static const std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context = [] {
        std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> made(newClientTlsContext(), SSL_CTX_free);
        if (made != nullptr) {
            SSL_CTX_set_read_ahead(made.get(), 1);
            SSL_CTX_set_default_read_buffer_len(made.get(), kTlsReadBufferBytes);
        }
        return made;
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
// prove the key (its Finished did not verify, or it tried a certificate instead). Reads the
// thread's OpenSSL errors and leaves none behind.
bool keyRefused() {
    bool refused = false;
    while (const unsigned long error = ERR_get_error()) {
        switch (ERR_GET_REASON(error)) {
            case SSL_R_SSLV3_ALERT_HANDSHAKE_FAILURE:
            case SSL_R_TLSV1_ALERT_DECRYPT_ERROR:
            case SSL_R_DIGEST_CHECK_FAILED:
            case SSL_R_CERTIFICATE_VERIFY_FAILED:
                refused = true;
                break;
            default:
                break;
        }
    }
    return refused;
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

// Resolving and connecting run on an event loop, as only that can bound and abort them; from
// then on the connection is a blocking socket under OpenSSL (deadline_socket.h), and abort()
// shuts the socket down, which ends any wait on it at once.
class ClientConnection::Impl final {
public:
    explicit Impl(std::chrono::milliseconds timeout) : m_timeout(timeout) {}
    ~Impl() { close(); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    CTerror connect(const std::string& host, std::uint16_t port);
    CTerror handshake(const std::string& clientName, const std::string& adminKey);
    CTerror call(Request& request, Response& response);
    CTerror callInParts(Request& request, const std::function<bool(Response&)>& onPart);
    void close();
    void closeForGood();
    void abort();

    bool usable() const { return m_ssl != nullptr && m_handshakeDone && !m_dead && !m_aborted; }
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
    // Takes the connected socket over from the event loop; false when aborted meanwhile.
    bool adoptSocket();
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
    std::optional<asio::ip::tcp::socket> m_connecting;  // until the connection is taken over
    SocketDeadline m_socket;
    SSL* m_ssl = nullptr;
    std::mutex m_socketLock;  // over m_socket.fd, for abort() from another thread
    FrameDecoder m_decoder;
    std::string m_writeBuffer;  // kept between frames, so that small calls allocate nothing
    std::array<char, 64 * 1024> m_readBuffer{};
    std::uint64_t m_lastRequestId = 0;
    std::string m_serverName;
    std::string m_failureReason;
    ConnectFault m_fault = ConnectFault::None;
    std::uint32_t m_serverVersion = 0;
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
    if (!m_completed) {
        cancel();
        m_io.restart();
        m_io.run();  // lets the cancelled operation finish
        return asio::error::timed_out;
    }
    return m_result;
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
    if (clientContext() == nullptr) {
        m_failureReason = "TLS is not available";
        m_fault = ConnectFault::Unreachable;
        return CTerr_ConnectRefused;
    }
    asio::ip::tcp::socket& socket = m_connecting.emplace(m_io);
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
    asio::async_connect(socket, endpoints,
                        [this](const asio::error_code& result, const asio::ip::tcp::endpoint&) {
                            m_result = result;
                            m_completed = true;
                        });
    ec = waitFor(deadline, [&socket] {
        asio::error_code ignored;
        socket.close(ignored);
    });
    if (m_aborted) {
        m_fault = ConnectFault::Aborted;
        return fail();
    }
    if (ec) {
        close();
        m_failureReason = unanswered(ec);
        m_fault = unansweredFault(ec);
        return CTerr_ConnectRefused;
    }
    if (!adoptSocket()) {
        m_fault = m_aborted ? ConnectFault::Aborted : ConnectFault::Broken;
        return fail();
    }
    return CTerr_NoError;
}

bool ClientConnection::Impl::adoptSocket() {
    asio::error_code ec;
    m_connecting->set_option(asio::ip::tcp::no_delay(true), ec);
    const int fd = m_connecting->release(ec);
    m_connecting.reset();
    if (ec) {
        return false;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    {
        const std::lock_guard<std::mutex> lock(m_socketLock);
        m_socket = SocketDeadline{};
        m_socket.fd = fd;
    }
    // An abort() that came before the descriptor was visible to it is seen here.
    return !m_aborted;
}

CTerror ClientConnection::Impl::handshake(const std::string& clientName,
                                          const std::string& adminKey) {
    if (m_socket.fd < 0 || m_ssl != nullptr || m_dead || m_aborted) {
        return failHandshake();
    }
    const auto deadline = Clock::now() + m_timeout;
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
    m_ssl = SSL_new(clientContext());
    BIO* bio = m_ssl != nullptr ? newDeadlineSocketBio(m_socket) : nullptr;
    if (bio == nullptr) {
        return failHandshake();
    }
    SSL_set_bio(m_ssl, bio, bio);
    if (!offerAdminKey(m_ssl, adminKey)) {
        return failHandshake();
    }
    m_socket.deadline = deadline;
    ERR_clear_error();
    const bool shaken = SSL_connect(m_ssl) == 1;
    const bool refused = !shaken && keyRefused();
    if (m_aborted || (!shaken && !refused)) {
        return failHandshake();
    }
    if (refused || !keyWasUsed(m_ssl)) {
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

// The whole frame goes out in one SSL_write: one record, and one send, for a small one. Only
// the outcome of SSL_write and SSL_read is used, never SSL_get_error, so OpenSSL's error queue
// needs emptying only after a failure, not (at some cost) before each call.
bool ClientConnection::Impl::sendFrame(const ClientFrame& frame, Clock::time_point deadline) {
    m_writeBuffer.clear();
    if (!encodeFrame(frame, m_writeBuffer) || m_writeBuffer.size() > INT_MAX) {
        return false;
    }
    m_socket.deadline = deadline;
    const int size = static_cast<int>(m_writeBuffer.size());
    const bool sent = SSL_write(m_ssl, m_writeBuffer.data(), size) == size;
    if (!sent) {
        ERR_clear_error();
    }
    return sent;
}

bool ClientConnection::Impl::receiveFrame(ServerFrame& frame, Clock::time_point deadline,
                                          std::size_t* frameBytes) {
    m_socket.deadline = deadline;
    for (;;) {
        std::string_view payload;
        switch (m_decoder.nextView(payload)) {
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
        const int received =
            SSL_read(m_ssl, m_readBuffer.data(), static_cast<int>(m_readBuffer.size()));
        if (received <= 0) {
            ERR_clear_error();
            return false;
        }
        m_decoder.feed(m_readBuffer.data(), static_cast<std::size_t>(received));
    }
}

CTerror ClientConnection::Impl::fail() {
    closeForGood();
    return CTerr_ConnectionLost;
}

CTerror ClientConnection::Impl::failHandshake() {
    m_fault = m_aborted           ? ConnectFault::Aborted
              : m_socket.timedOut ? ConnectFault::TimedOut
                                  : ConnectFault::Broken;
    return fail();
}

void ClientConnection::Impl::closeForGood() {
    close();
    m_dead = true;
}

// While the event loop runs (resolving, connecting) the closing is posted to it, so that the
// wait there ends; afterwards shutting the socket down ends a send or receive waiting on it. A
// call made later finds the connection unusable before it starts.
void ClientConnection::Impl::abort() {
    m_aborted = true;
    asio::post(m_io, [this] { closeForGood(); });
    const std::lock_guard<std::mutex> lock(m_socketLock);
    if (m_socket.fd >= 0) {
        shutdown(m_socket.fd, SHUT_RDWR);
    }
}

// No close_notify: the peer reads the end of the stream between frames either way, and a
// connection given up on must not wait for its peer to take another record.
void ClientConnection::Impl::close() {
    if (m_connecting) {
        asio::error_code ignored;
        m_connecting->close(ignored);
        m_connecting.reset();
    }
    SSL_free(m_ssl);  // and its BIO, which leaves the descriptor open
    m_ssl = nullptr;
    int fd = -1;
    {
        const std::lock_guard<std::mutex> lock(m_socketLock);
        fd = std::exchange(m_socket.fd, -1);
    }
    if (fd >= 0) {
        shutdown(fd, SHUT_RDWR);
        ::close(fd);
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
