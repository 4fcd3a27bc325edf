#pragma once
// A client's TLS on tlvsd's event loop. OpenSSL works on memory buffers and this moves their
// bytes: an answer the socket takes at once goes out inside write(), without a round through the
// loop, and OpenSSL's error queue is emptied only after a failure. (asio's TLS stream empties it
// before every step and completes every write through the loop; for a small call that cost as
// much as the encryption.)
//
// What the client sends is counted: before it has proven its key it may send only so many bytes
// (allow()), whatever its records announce. A read beyond the allowance fails with
// asio::error::message_size, so the handshake or read fails and the session drops the client.
//
// One operation at a time: the handshake, then reads and writes, never two of the same kind at
// once. Completions run on the loop; only write() may finish inside its own call, and says so.

#include <openssl/ssl.h>

#include <array>
#include <asio.hpp>
#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <string>

namespace tlv::server {

class TlsChannel final {
public:
    using Done = std::function<void(const asio::error_code&)>;
    using ReadDone = std::function<void(const asio::error_code&, std::size_t)>;

    static constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

    TlsChannel(asio::ip::tcp::socket socket, SSL_CTX* context);
    ~TlsChannel();
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    // False when OpenSSL could not make the connection's state: nothing else may be called.
    bool isValid() const { return m_ssl != nullptr; }
    SSL* nativeHandle() const { return m_ssl; }
    asio::ip::tcp::socket& socket() { return m_socket; }

    // From now on, at most bytes more are received.
    void allow(std::size_t bytes) { m_allowance = bytes; }
    void allowAnything() { m_allowance = kUnlimited; }

    // The server's side of the handshake; errors of OpenSSL come in asio's ssl category.
    void handshake(Done done);
    // Decrypts at least one byte, at most size, into data.
    void readSome(char* data, std::size_t size, ReadDone done);
    // Encrypts and sends size bytes at data, which must stay put until done. True when the
    // socket took them all at once: done is then dropped without a call. Otherwise done runs
    // once they are sent or sending failed.
    bool write(const char* data, std::size_t size, Done done);

    // Shuts the socket down and closes it; operations waiting end with an error.
    void close();

private:
    enum class Step { None, Handshake, Read, Write };

    void continueHandshake();
    void continueRead();
    // Receives more encrypted bytes for the step waiting on them.
    void receive();
    // Encrypts and sends while the socket takes it; true when everything went. False while a
    // send waits (it continues the write when done) or after a failure (in m_failure).
    bool pushOut();
    // Sends what OpenSSL has made; true when all went at once. Otherwise as pushOut.
    bool sendMade();
    void afterSent();
    void finish(const asio::error_code& error, std::size_t bytes = 0);
    // The failure OpenSSL reports for result, its error queue emptied.
    asio::error_code failureOf(int result);
    // What the loop's handlers hold: an operation that ends after the channel is gone (the
    // socket closes with it) must not touch it.
    std::weak_ptr<const bool> aliveToken() const { return m_alive; }

    asio::ip::tcp::socket m_socket;
    SSL* m_ssl = nullptr;
    BIO* m_in = nullptr;   // encrypted bytes received, for OpenSSL to read
    BIO* m_out = nullptr;  // encrypted bytes OpenSSL made, to send
    std::size_t m_allowance = kUnlimited;
    std::array<char, 17 * 1024> m_received{};  // one record and its header at most
    std::string m_unsent;                      // what a send left, while it waits
    Step m_step = Step::None;
    Done m_done;
    ReadDone m_readDone;
    char* m_readData = nullptr;
    std::size_t m_readSize = 0;
    const char* m_writeData = nullptr;
    std::size_t m_writeLeft = 0;
    asio::error_code m_failure;
    std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);
};

}  // namespace tlv::server
