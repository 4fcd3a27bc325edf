#include "server/tlvsd_server.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "server/cgroup.h"
#include "server/log.h"
#include "server/seed.h"
#include "server/server_key.h"

namespace tlv::server {
namespace {

constexpr std::chrono::seconds kShutdownDeadline{10};

// Bytes of frames begun that all connections together may hold beyond their own small share:
// room for a few frames of the largest size at once.
constexpr std::size_t kMaxBufferedBytes = 4 * std::size_t{tlv::wire::kMaxFrameBytes};

// Bytes of answers written but not yet taken by their clients, all clients together. Each holds
// at most one part (about 4 MiB, a single large element up to a frame), so this is room for
// dozens of clients taking large answers at once.
constexpr std::size_t kMaxUnsentBytes = 256u * 1024 * 1024;

// After a failed accept (no descriptor left, ...) the next waits this long instead of spinning.
constexpr std::chrono::milliseconds kAcceptPause{100};
constexpr std::chrono::seconds kAcceptLogPeriod{1};

std::string storePath(const ServerOptions& options) {
    return options.dataDir.empty() ? std::string{} : options.dataDir + "/tlvsd.db";
}

std::string logPath(const ServerOptions& options) {
    return options.dataDir.empty() ? std::string{} : options.dataDir + "/services.log";
}

std::vector<ServiceProvider> providersOf(const ServerOptions& options) {
    if (options.providersGiven || options.seed != Seed::Demo) {
        return options.providers;
    }
    return demoProviders();
}

// Children (the services) must not inherit the listening or client sockets.
void keepFromChildren(int descriptor) {
    const int flags = fcntl(descriptor, F_GETFD);
    if (flags >= 0) {
        fcntl(descriptor, F_SETFD, flags | FD_CLOEXEC);
    }
}

}  // namespace

std::unique_ptr<TlvsdServer> TlvsdServer::create(ServerOptions options, std::string& error) {
    if (!options.dataDir.empty() && mkdir(options.dataDir.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + options.dataDir + ": " + std::strerror(errno);
        return nullptr;
    }
    auto lock = std::make_unique<InstanceLock>();
    if (!options.dataDir.empty() && !lock->acquire(options.dataDir + "/tlvsd.lock", error)) {
        return nullptr;
    }
    std::unique_ptr<ProfileStore> store = ProfileStore::open(storePath(options), error);
    if (!store) {
        return nullptr;
    }
    if (options.seed == Seed::Demo && store->isEmpty() && !loadDemoSeed(*store, error)) {
        return nullptr;
    }
    auto key = std::make_unique<tlv::wire::ServerKey>();
    bool keyMade = false;
    if (!loadServerKey(options, key->key, error, &keyMade)) {
        return nullptr;
    }
    if (keyMade) {
        logEvent("%s", keyHandOverText(serverKeyPath(options)).c_str());
    }
    key->id = tlv::wire::adminKeyId(key->key);
    SSL_CTX* tls = tlv::wire::newServerTlsContext(*key);
    if (tls == nullptr) {
        error = "OpenSSL cannot make a TLS 1.3 context";
        return nullptr;
    }
    logEvent("admin key %s from %s", key->id.c_str(), serverKeyPath(options).c_str());
    std::unique_ptr<TlvsdServer> server{
        new TlvsdServer(std::move(options), std::move(store), std::move(key), tls)};
    if (!server->listen(error)) {
        return nullptr;
    }
    server->m_lock = std::move(lock);
    // Orphans of the services (what they started and left) come to us to be reaped and ended.
    if (prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) {
        logEvent("warning: cannot become the services' subreaper: %s", std::strerror(errno));
    }
    if (const int ended = server->m_records.endLeftovers(); ended > 0) {
        logEvent("ended %d service processes, groups and cgroups a previous run left behind",
                 ended);
    }
    server->m_level.restore();
    return server;
}

TlvsdServer::TlvsdServer(ServerOptions options, std::unique_ptr<ProfileStore> store,
                         std::unique_ptr<tlv::wire::ServerKey> key, SSL_CTX* tls)
    : m_options(std::move(options)),
      m_store(std::move(store)),
      m_records(m_options.dataDir.empty() ? std::string{} : m_options.dataDir + "/services.pids"),
      m_supervisor(m_io, logPath(m_options)),
      m_services(*m_store, m_supervisor),
      m_level(*m_store, m_services),
      m_handler(*m_store, m_services, m_level, providersOf(m_options),
                {m_store->path(), m_storeReader.get_executor(), m_io.get_executor()}),
      m_budget(kMaxBufferedBytes),
      m_output(kMaxUnsentBytes),
      m_key(std::move(key)),
      m_tls(tls),
      m_turnedAwayLog(kAcceptLogPeriod),
      m_sessionContext{m_handler, m_options.faults, m_options.name, m_tls,   m_keyFailures,
                       m_roster,  m_budget,          m_decodeWorker, m_output},
      m_acceptor(m_io),
      m_acceptPause(m_io),
      m_acceptFailureLog(kAcceptLogPeriod),
      m_stopSignals(m_io, SIGTERM, SIGINT),
      m_reloadSignal(m_io, SIGHUP) {
    std::optional<std::string> cgroupParent;
    if (m_options.useCgroups) {
        cgroupParent = writableOwnCgroup();
    }
    m_supervisor.recordIn(m_records, cgroupParent);
    if (cgroupParent) {
        logEvent("services run in cgroups of their own under %s", cgroupParent->c_str());
    }
}

TlvsdServer::~TlvsdServer() {
    m_roster.closeAll();
}

bool TlvsdServer::listen(std::string& error) {
    asio::error_code ec;
    // A name such as localhost is resolved; its first IPv4 address (where clients of
    // "tcp:localhost:PORT" look first), else its first address, is the one listened on.
    asio::ip::tcp::resolver resolver(m_io);
    const auto found = resolver.resolve(m_options.host, std::to_string(m_options.port),
                                        asio::ip::resolver_base::numeric_service, ec);
    if (ec || found.empty()) {
        error = "bad listen address " + m_options.host + ": " +
                (ec ? ec.message() : std::string("no address"));
        return false;
    }
    const auto v4 = std::find_if(found.begin(), found.end(),
                                 [](const auto& entry) { return entry.endpoint().address().is_v4(); });
    const asio::ip::tcp::endpoint endpoint = (v4 != found.end() ? *v4 : *found.begin()).endpoint();
    m_acceptor.open(endpoint.protocol(), ec);
    if (!ec) {
        keepFromChildren(m_acceptor.native_handle());
        m_acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true), ec);
    }
    if (!ec)
        m_acceptor.bind(endpoint, ec);
    if (!ec)
        m_acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        error = "cannot listen on " + m_options.host + ":" + std::to_string(m_options.port) + ": " +
                ec.message();
        return false;
    }
    return true;
}

std::string TlvsdServer::listeningAddress() const {
    asio::error_code ec;
    const auto endpoint = m_acceptor.local_endpoint(ec);
    return ec ? std::string{}
              : endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
}

void TlvsdServer::accept() {
    m_acceptor.async_accept([this](const asio::error_code& error, asio::ip::tcp::socket socket) {
        if (m_stopping) {
            return;
        }
        if (error) {
            onAcceptFailed(error);
            return;
        }
        keepFromChildren(socket.native_handle());
        if (turnAway(socket)) {
            accept();
            return;
        }
        asio::error_code ignored;
        const std::string address = endpointText(socket.remote_endpoint(ignored));
        auto session = std::make_shared<ClientSession>(
            std::move(socket), m_sessionContext, [this, address](ClientSession* closed) {
                if (closed->isAuthenticated()) {
                    logEvent("client %s from %s left", printable(closed->clientName()).c_str(),
                             address.c_str());
                }
                m_roster.remove(closed);
            });
        m_roster.admit(session);
        session->start();
        accept();
    });
}

// A source that keeps failing the admin key gets its connections closed before any TLS work is
// spent on them, said at most once a second.
bool TlvsdServer::turnAway(const asio::ip::tcp::socket& socket) {
    asio::error_code ec;
    const asio::ip::tcp::endpoint peer = socket.remote_endpoint(ec);
    if (ec || !m_keyFailures.isThrottled(peer.address(), KeyFailures::Clock::now())) {
        return false;
    }
    std::size_t heldBack = 0;
    if (m_turnedAwayLog.allow(LogThrottle::Clock::now(), heldBack)) {
        logEvent("closing a connection from %s at once: its source keeps failing the admin key "
                 "(%zu more closed since the last line)",
                 endpointText(peer).c_str(), heldBack);
    }
    return true;
}

// Out of descriptors and the like: keep serving the clients we have, try again shortly, and say
// so at most once a second. Without descriptors a connection still in its handshake makes room
// at once (as the roster picks one), so silent connections cannot keep a key holder out.
void TlvsdServer::onAcceptFailed(const asio::error_code& error) {
    std::size_t heldBack = 0;
    if (m_acceptFailureLog.allow(LogThrottle::Clock::now(), heldBack)) {
        logEvent("accept failed: %s (%zu more failures since the last line)",
                 error.message().c_str(), heldBack);
    }
    if (error == asio::error::no_descriptors && m_roster.evictPending()) {
        accept();
        return;
    }
    m_acceptPause.expires_after(kAcceptPause);
    m_acceptPause.async_wait([this](const asio::error_code& cancelled) {
        if (!cancelled && !m_stopping) {
            accept();
        }
    });
}

int TlvsdServer::run() {
    m_stopSignals.async_wait([this](const asio::error_code& error, int) {
        if (!error) {
            shutdown();
        }
    });
    waitForReload();
    accept();
    m_io.run();
    return 0;
}

void TlvsdServer::waitForReload() {
    m_reloadSignal.async_wait([this](const asio::error_code& error, int) {
        if (!error && !m_stopping) {
            reloadKey();
            waitForReload();
        }
    });
}

// A key that cannot be read keeps the one in use: a typo must not lock every operator out.
void TlvsdServer::reloadKey() {
    std::string key;
    std::string error;
    if (!loadServerKey(m_options, key, error)) {
        logEvent("admin key not reloaded, %s still in use: %s", m_key->id.c_str(), error.c_str());
        return;
    }
    m_key->key = std::move(key);
    m_key->id = tlv::wire::adminKeyId(m_key->key);
    logEvent("admin key %s from %s", m_key->id.c_str(), serverKeyPath(m_options).c_str());
}

void TlvsdServer::shutdown() {
    m_stopping = true;
    asio::error_code ignored;
    m_acceptor.close(ignored);
    m_acceptPause.cancel();
    m_reloadSignal.cancel(ignored);
    m_roster.closeAll();
    m_supervisor.shutdown(kShutdownDeadline, [this] { m_io.stop(); });
}

}  // namespace tlv::server
