#pragma once
// A client's TCP socket under its TLS stream, counting what it receives: before the client has
// proven its key and said Hello it may send only so many bytes, whatever its records announce.
// A read beyond the allowance fails with message_size; the TLS stream then fails its handshake
// or read, and the session drops the client.

#include <algorithm>
#include <asio.hpp>
#include <cstddef>
#include <limits>
#include <utility>

namespace tlv::server {

class MeteredSocket final {
public:
    using lowest_layer_type = asio::ip::tcp::socket::lowest_layer_type;
    using executor_type = asio::ip::tcp::socket::executor_type;

    static constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

    explicit MeteredSocket(asio::ip::tcp::socket socket) : m_socket(std::move(socket)) {}

    // From now on, at most bytes more are received.
    void allow(std::size_t bytes) { m_allowance = bytes; }
    void allowAnything() { m_allowance = kUnlimited; }

    executor_type get_executor() { return m_socket.get_executor(); }
    lowest_layer_type& lowest_layer() { return m_socket.lowest_layer(); }
    const lowest_layer_type& lowest_layer() const { return m_socket.lowest_layer(); }

    // Reads into the first buffer, never more than the allowance.
    template <typename MutableBuffers, typename Handler>
    void async_read_some(const MutableBuffers& buffers, Handler&& handler) {
        const asio::mutable_buffer first = *asio::buffer_sequence_begin(buffers);
        const std::size_t wanted = std::min(first.size(), m_allowance);
        if (wanted == 0 && first.size() > 0) {
            asio::post(m_socket.get_executor(),
                       [handler = std::forward<Handler>(handler)]() mutable {
                           handler(asio::error_code(asio::error::message_size), 0);
                       });
            return;
        }
        m_socket.async_read_some(
            asio::buffer(first.data(), wanted),
            [this, handler = std::forward<Handler>(handler)](const asio::error_code& error,
                                                             std::size_t received) mutable {
                if (m_allowance != kUnlimited) {
                    m_allowance -= std::min(received, m_allowance);
                }
                handler(error, received);
            });
    }

    template <typename ConstBuffers, typename Handler>
    void async_write_some(const ConstBuffers& buffers, Handler&& handler) {
        m_socket.async_write_some(buffers, std::forward<Handler>(handler));
    }

private:
    asio::ip::tcp::socket m_socket;
    std::size_t m_allowance = kUnlimited;
};

}  // namespace tlv::server
