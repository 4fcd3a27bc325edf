#pragma once
// tlvsd as a whole: the store, the services, the level, the network side and the signals that
// end it. One thread runs everything on one event loop.

#include <asio.hpp>
#include <asio/ssl.hpp>
#include <cstdint>
#include <memory>
#include <string>

#include "server/admin_handler.h"
#include "server/buffer_budget.h"
#include "server/client_session.h"
#include "server/connection_limits.h"
#include "server/fault_plan.h"
#include "server/key_failures.h"
#include "server/log_throttle.h"
#include "server/output_budget.h"
#include "server/options.h"
#include "server/profile_store.h"
#include "server/server_level.h"
#include "server/service_records.h"
#include "server/service_table.h"
#include "server/supervisor.h"

namespace tlv::server {

class TlvsdServer final {
public:
    // Opens the store (seeding it when asked), restores the level and binds the listening
    // socket. Returns null and a message in error on failure.
    static std::unique_ptr<TlvsdServer> create(ServerOptions options, std::string& error);
    ~TlvsdServer();
    TlvsdServer(const TlvsdServer&) = delete;
    TlvsdServer& operator=(const TlvsdServer&) = delete;

    std::string listeningAddress() const;  // "HOST:PORT" as bound

    // Serves until SIGTERM or SIGINT, then stops the services and returns 0. SIGHUP reads the
    // admin key file again: handshakes from then on use the key it holds.
    int run();

private:
    TlvsdServer(ServerOptions options, std::unique_ptr<ProfileStore> store,
                std::unique_ptr<tlv::wire::ServerKey> key, SSL_CTX* tls);
    bool listen(std::string& error);
    void accept();
    bool turnAway(const asio::ip::tcp::socket& socket);
    void onAcceptFailed(const asio::error_code& error);
    void waitForReload();
    void reloadKey();
    void shutdown();

    ServerOptions m_options;
    asio::io_context m_io;
    DecodeWorker m_decodeWorker;  // stopped before the loop it reports to goes
    asio::thread_pool m_storeReader{1};  // answers with contents, likewise
    std::unique_ptr<ProfileStore> m_store;
    std::unique_ptr<InstanceLock> m_lock;
    ServiceRecords m_records;
    ServiceSupervisor m_supervisor;
    ServiceTable m_services;
    ServerLevel m_level;
    AdminHandler m_handler;
    ClientRoster m_roster;
    BufferBudget m_budget;
    OutputBudget m_output;
    std::unique_ptr<tlv::wire::ServerKey> m_key;  // the TLS context reads it in each handshake
    asio::ssl::context m_tls;
    KeyFailures m_keyFailures;
    LogThrottle m_turnedAwayLog;
    SessionContext m_sessionContext;
    asio::ip::tcp::acceptor m_acceptor;
    asio::steady_timer m_acceptPause;
    LogThrottle m_acceptFailureLog;
    asio::signal_set m_stopSignals;
    asio::signal_set m_reloadSignal;
    bool m_stopping = false;
};

}  // namespace tlv::server
