#include "server/tlvsd_server.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "server/log.h"
#include "server/seed.h"

namespace tlv::server {
namespace {

constexpr std::size_t kMaxClients = 256;
constexpr std::chrono::seconds kShutdownDeadline{10};

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
    std::unique_ptr<ProfileStore> store = ProfileStore::open(storePath(options), error);
    if (!store) {
        return nullptr;
    }
    if (options.seed == Seed::Demo && store->isEmpty() && !loadDemoSeed(*store, error)) {
        return nullptr;
    }
    std::unique_ptr<TlvsdServer> server{new TlvsdServer(std::move(options), std::move(store))};
    if (!server->listen(error)) {
        return nullptr;
    }
    server->m_level.restore();
    return server;
}

TlvsdServer::TlvsdServer(ServerOptions options, std::unique_ptr<ProfileStore> store)
    : m_options(std::move(options)),
      m_store(std::move(store)),
      m_supervisor(m_io, logPath(m_options)),
      m_services(*m_store, m_supervisor),
      m_level(*m_store, m_services),
      m_handler(*m_store, m_services, m_level, providersOf(m_options)),
      m_sessionContext{m_handler, m_options.faults, m_options.name},
      m_acceptor(m_io),
      m_stopSignals(m_io, SIGTERM, SIGINT) {}

TlvsdServer::~TlvsdServer() {
    for (const auto& session : std::set(m_sessions)) {
        session->close();
    }
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
            // Out of descriptors and the like: keep serving the clients we have.
            logEvent("accept failed: %s", error.message().c_str());
        } else if (m_sessions.size() >= kMaxClients) {
            logEvent("refusing a client: %zu clients connected", m_sessions.size());
        } else {
            keepFromChildren(socket.native_handle());
            asio::error_code ignored;
            const std::string address = endpointText(socket.remote_endpoint(ignored));
            auto session = std::make_shared<ClientSession>(
                std::move(socket), m_sessionContext, [this, address](ClientSession* closed) {
                    const std::string& name = closed->clientName();
                    logEvent("client %s from %s left",
                             name.empty() ? "-" : printable(name).c_str(), address.c_str());
                    std::erase_if(m_sessions,
                                  [closed](const auto& s) { return s.get() == closed; });
                });
            m_sessions.insert(session);
            session->start();
        }
        accept();
    });
}

int TlvsdServer::run() {
    m_stopSignals.async_wait([this](const asio::error_code& error, int) {
        if (!error) {
            shutdown();
        }
    });
    accept();
    m_io.run();
    return 0;
}

void TlvsdServer::shutdown() {
    m_stopping = true;
    asio::error_code ignored;
    m_acceptor.close(ignored);
    for (const auto& session : std::set(m_sessions)) {
        session->close();
    }
    m_supervisor.shutdown(kShutdownDeadline, [this] { m_io.stop(); });
}

}  // namespace tlv::server
