#include "tests/support/relay_proxy.h"

#include <array>
#include <asio.hpp>
#include <atomic>
#include <deque>
#include <thread>

namespace tlv::test {
namespace {

using Clock = std::chrono::steady_clock;
using asio::ip::tcp;

struct Chunk {
    Clock::time_point due;
    std::string bytes;
};

// One direction of one connection: reads from `from`, writes each chunk to `to` once it is due.
class Pipe final : public std::enable_shared_from_this<Pipe> {
public:
    Pipe(std::shared_ptr<tcp::socket> from, std::shared_ptr<tcp::socket> to, int connection,
         RelayProxy::Direction direction, const RelayProxy::Options& options,
         std::atomic<std::uint64_t>& relayed)
        : m_from(std::move(from)),
          m_to(std::move(to)),
          m_timer(m_to->get_executor()),
          m_connection(connection),
          m_direction(direction),
          m_options(options),
          m_relayed(relayed) {}

    void start() { read(); }

private:
    void read() {
        m_from->async_read_some(asio::buffer(m_buffer),
                                [self = shared_from_this()](const asio::error_code& error,
                                                            std::size_t count) {
                                    self->onRead(error, count);
                                });
    }

    void onRead(const asio::error_code& error, std::size_t count) {
        if (error) {
            m_readEnded = true;
            if (!m_writing) {
                finish();
            }
            return;
        }
        std::string bytes(m_buffer.data(), count);
        if (m_options.tamper) {
            m_options.tamper(m_connection, m_direction, m_offset, bytes);
        }
        m_offset += count;
        if (!bytes.empty()) {
            queue(std::move(bytes));
            writeNext();
        }
        read();
    }

    void queue(std::string bytes) {
        const Clock::time_point due = Clock::now() + m_options.oneWayDelay;
        const std::size_t piece = m_options.pieceBytes == 0 ? bytes.size() : m_options.pieceBytes;
        if (piece >= bytes.size()) {
            m_queue.push_back({due, std::move(bytes)});
            return;
        }
        for (std::size_t at = 0, count = 0; at < bytes.size(); at += piece, ++count) {
            m_queue.push_back(
                {due + static_cast<long>(count) * m_options.piecePause, bytes.substr(at, piece)});
        }
    }

    void writeNext() {
        if (m_writing || m_queue.empty()) {
            return;
        }
        m_writing = true;
        m_timer.expires_at(m_queue.front().due);
        m_timer.async_wait([self = shared_from_this()](const asio::error_code&) {
            asio::async_write(*self->m_to, asio::buffer(self->m_queue.front().bytes),
                              [self](const asio::error_code& error, std::size_t count) {
                                  self->onWritten(error, count);
                              });
        });
    }

    void onWritten(const asio::error_code& error, std::size_t count) {
        m_writing = false;
        m_relayed += count;
        m_queue.pop_front();
        if (error) {
            finish();
            return;
        }
        if (!m_queue.empty()) {
            writeNext();
        } else if (m_readEnded) {
            finish();
        }
    }

    // Either side gone: both go, so neither end waits for the other.
    void finish() {
        asio::error_code ignored;
        m_from->close(ignored);
        m_to->close(ignored);
    }

    std::shared_ptr<tcp::socket> m_from;
    std::shared_ptr<tcp::socket> m_to;
    asio::steady_timer m_timer;
    int m_connection;
    RelayProxy::Direction m_direction;
    const RelayProxy::Options& m_options;
    std::atomic<std::uint64_t>& m_relayed;
    std::array<char, 64 * 1024> m_buffer{};
    std::deque<Chunk> m_queue;
    std::uint64_t m_offset = 0;
    bool m_writing = false;
    bool m_readEnded = false;
};

}  // namespace

class RelayProxy::Impl final {
public:
    Impl(std::uint16_t targetPort, Options options)
        : m_options(std::move(options)),
          m_target(asio::ip::make_address_v4("127.0.0.1"), targetPort) {
        asio::error_code error;
        m_acceptor.open(tcp::v4(), error);
        if (!error)
            m_acceptor.bind(tcp::endpoint(asio::ip::make_address_v4("127.0.0.1"), 0), error);
        if (!error)
            m_acceptor.listen(asio::socket_base::max_listen_connections, error);
        if (error) {
            return;
        }
        m_port = m_acceptor.local_endpoint(error).port();
        accept();
        m_thread = std::thread([this] { m_io.run(); });
    }

    ~Impl() {
        m_work.reset();
        m_io.stop();
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

    std::uint16_t port() const { return m_port; }
    std::uint64_t relayed(Direction direction) const {
        return direction == Direction::ToServer ? m_toServer.load() : m_toClient.load();
    }

private:
    void accept() {
        m_acceptor.async_accept([this](const asio::error_code& error, tcp::socket socket) {
            if (error) {
                return;
            }
            connect(std::make_shared<tcp::socket>(std::move(socket)));
            accept();
        });
    }

    void connect(std::shared_ptr<tcp::socket> client) {
        auto server = std::make_shared<tcp::socket>(m_io);
        const int connection = m_connections++;
        server->async_connect(m_target, [this, client, server,
                                         connection](const asio::error_code& error) {
            if (error) {
                asio::error_code ignored;
                client->close(ignored);
                return;
            }
            asio::error_code ignored;
            client->set_option(tcp::no_delay(true), ignored);
            server->set_option(tcp::no_delay(true), ignored);
            std::make_shared<Pipe>(client, server, connection, Direction::ToServer, m_options,
                                   m_toServer)
                ->start();
            std::make_shared<Pipe>(server, client, connection, Direction::ToClient, m_options,
                                   m_toClient)
                ->start();
        });
    }

    Options m_options;
    asio::io_context m_io;
    asio::executor_work_guard<asio::io_context::executor_type> m_work{m_io.get_executor()};
    tcp::acceptor m_acceptor{m_io};
    tcp::endpoint m_target;
    std::uint16_t m_port = 0;
    int m_connections = 0;
    std::atomic<std::uint64_t> m_toServer{0};
    std::atomic<std::uint64_t> m_toClient{0};
    std::thread m_thread;
};

RelayProxy::RelayProxy(std::uint16_t targetPort, Options options)
    : m_impl(std::make_unique<Impl>(targetPort, std::move(options))) {}

RelayProxy::~RelayProxy() = default;

std::uint16_t RelayProxy::port() const {
    return m_impl->port();
}

std::uint64_t RelayProxy::bytesRelayed(Direction direction) const {
    return m_impl->relayed(direction);
}

}  // namespace tlv::test
