#include "server/tls_channel.h"

#include <openssl/err.h>
#include <sys/socket.h>

#include <algorithm>
#include <asio/ssl/error.hpp>
#include <cerrno>
#include <climits>

namespace tlv::server {
namespace {

// Plaintext encrypted at a time: an answer of many MiB is sent as the socket drains, never held
// encrypted whole.
constexpr std::size_t kWriteChunk = 64 * 1024;

// SSL_get_error reads the thread's error queue: what an earlier step left there must go first.
void dropStaleErrors() {
    if (ERR_peek_error() != 0) {
        ERR_clear_error();
    }
}

}  // namespace

TlsChannel::TlsChannel(asio::ip::tcp::socket socket, SSL_CTX* context)
    : m_socket(std::move(socket)) {
    asio::error_code ignored;
    m_socket.non_blocking(true, ignored);
    m_ssl = context != nullptr ? SSL_new(context) : nullptr;
    m_in = m_ssl != nullptr ? BIO_new(BIO_s_mem()) : nullptr;
    m_out = m_in != nullptr ? BIO_new(BIO_s_mem()) : nullptr;
    if (m_out == nullptr) {
        BIO_free(m_in);
        SSL_free(m_ssl);
        m_ssl = nullptr;
        return;
    }
    BIO_set_mem_eof_return(m_in, -1);  // no bytes yet is "wait", not the end
    SSL_set_bio(m_ssl, m_in, m_out);
    SSL_set_accept_state(m_ssl);
}

TlsChannel::~TlsChannel() {
    SSL_free(m_ssl);  // and both BIOs
}

void TlsChannel::handshake(Done done) {
    m_step = Step::Handshake;
    m_done = std::move(done);
    receive();  // the client speaks first
}

// Only when OpenSSL holds received bytes is a record tried at once; otherwise the socket is
// waited on straight away. The outcome runs on the loop either way.
void TlsChannel::readSome(char* data, std::size_t size, ReadDone done) {
    m_step = Step::Read;
    m_readDone = std::move(done);
    m_readData = data;
    m_readSize = std::min<std::size_t>(size, INT_MAX);
    if (BIO_pending(m_in) == 0 && SSL_has_pending(m_ssl) == 0) {
        receive();
        return;
    }
    dropStaleErrors();
    const int read = SSL_read(m_ssl, m_readData, static_cast<int>(m_readSize));
    if (read <= 0 && SSL_get_error(m_ssl, read) == SSL_ERROR_WANT_READ) {
        receive();
        return;
    }
    const asio::error_code error = read > 0 ? asio::error_code() : failureOf(read);
    asio::post(m_socket.get_executor(), [this, alive = aliveToken(), error, read] {
        if (!alive.expired()) {
            finish(error, read > 0 ? static_cast<std::size_t>(read) : 0);
        }
    });
}

bool TlsChannel::write(const char* data, std::size_t size, Done done) {
    m_step = Step::Write;
    m_writeData = data;
    m_writeLeft = size;
    m_failure = {};
    if (pushOut()) {
        m_step = Step::None;
        return true;
    }
    m_done = std::move(done);
    if (m_failure) {
        asio::post(m_socket.get_executor(), [this, alive = aliveToken()] {
            if (!alive.expired()) {
                finish(m_failure);
            }
        });
    }
    return false;
}

void TlsChannel::close() {
    asio::error_code ignored;
    m_socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    m_socket.close(ignored);
}

void TlsChannel::continueHandshake() {
    dropStaleErrors();
    const int result = SSL_do_handshake(m_ssl);
    const bool waiting = result != 1 && SSL_get_error(m_ssl, result) == SSL_ERROR_WANT_READ;
    if (result != 1 && !waiting) {
        // Its alert tells the client why (a key it does not hold, a proof that failed).
        const asio::error_code failure = failureOf(result);
        sendMade();
        finish(failure);
        return;
    }
    if (!sendMade()) {
        if (m_failure) {
            finish(m_failure);
        }
        return;  // afterSent() goes on
    }
    if (waiting) {
        receive();
    } else {
        finish({});
    }
}

void TlsChannel::continueRead() {
    dropStaleErrors();
    const int read = SSL_read(m_ssl, m_readData, static_cast<int>(m_readSize));
    if (read > 0) {
        finish({}, static_cast<std::size_t>(read));
    } else if (SSL_get_error(m_ssl, read) == SSL_ERROR_WANT_READ) {
        receive();
    } else {
        finish(failureOf(read));
    }
}

void TlsChannel::receive() {
    const std::size_t wanted = std::min(m_received.size(), m_allowance);
    if (wanted == 0) {
        asio::post(m_socket.get_executor(), [this, alive = aliveToken()] {
            if (!alive.expired()) {
                finish(asio::error::message_size);
            }
        });
        return;
    }
    m_socket.async_read_some(
        asio::buffer(m_received.data(), wanted),
        [this, alive = aliveToken()](const asio::error_code& error, std::size_t received) {
            if (alive.expired()) {
                return;
            }
            if (error) {
                const bool cut = m_step == Step::Handshake && error == asio::error::eof;
                finish(cut ? asio::error_code(asio::ssl::error::stream_truncated) : error);
                return;
            }
            if (m_allowance != kUnlimited) {
                m_allowance -= std::min(received, m_allowance);
            }
            if (BIO_write(m_in, m_received.data(), static_cast<int>(received)) !=
                static_cast<int>(received)) {
                finish(asio::error::no_memory);
                return;
            }
            if (m_step == Step::Handshake) {
                continueHandshake();
            } else {
                continueRead();
            }
        });
}

bool TlsChannel::pushOut() {
    for (;;) {
        if (!sendMade()) {
            return false;
        }
        if (m_writeLeft == 0) {
            return true;
        }
        const int chunk = static_cast<int>(std::min(m_writeLeft, kWriteChunk));
        dropStaleErrors();
        const int written = SSL_write(m_ssl, m_writeData, chunk);
        if (written <= 0) {
            m_failure = failureOf(written);
            return false;
        }
        m_writeData += written;
        m_writeLeft -= static_cast<std::size_t>(written);
    }
}

bool TlsChannel::sendMade() {
    char* made = nullptr;
    const long size = BIO_get_mem_data(m_out, &made);
    if (size <= 0) {
        return true;
    }
    const ssize_t sent = ::send(m_socket.native_handle(), made, static_cast<std::size_t>(size),
                                MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent == size) {
        (void)BIO_reset(m_out);
        return true;
    }
    if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        m_failure = asio::error_code(errno, asio::error::get_system_category());
        (void)BIO_reset(m_out);
        return false;
    }
    const std::size_t gone = sent > 0 ? static_cast<std::size_t>(sent) : 0;
    m_unsent.assign(made + gone, static_cast<std::size_t>(size) - gone);
    (void)BIO_reset(m_out);
    asio::async_write(m_socket, asio::buffer(m_unsent),
                      [this, alive = aliveToken()](const asio::error_code& error, std::size_t) {
                          if (alive.expired()) {
                              return;
                          }
                          m_unsent = std::string{};
                          if (error) {
                              finish(error);
                              return;
                          }
                          afterSent();
                      });
    return false;
}

void TlsChannel::afterSent() {
    if (m_step == Step::Handshake) {
        continueHandshake();
        return;
    }
    if (pushOut()) {
        finish({});
    } else if (m_failure) {
        finish(m_failure);
    }
}

void TlsChannel::finish(const asio::error_code& error, std::size_t bytes) {
    const Step step = std::exchange(m_step, Step::None);
    if (step == Step::Read && m_readDone) {
        std::exchange(m_readDone, nullptr)(error, bytes);
    } else if (step != Step::None && m_done) {
        std::exchange(m_done, nullptr)(error);
    }
}

asio::error_code TlsChannel::failureOf(int result) {
    const int kind = SSL_get_error(m_ssl, result);
    const unsigned long first = ERR_get_error();
    ERR_clear_error();
    if (first != 0) {
        return {static_cast<int>(first), asio::error::get_ssl_category()};
    }
    if (kind == SSL_ERROR_ZERO_RETURN) {
        return asio::error::eof;
    }
    return asio::ssl::error::unspecified_system_error;
}

}  // namespace tlv::server
