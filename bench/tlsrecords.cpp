#include "bench/tlsrecords.h"

#include <openssl/ssl.h>
#include <time.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "s100/wire/tls_psk.h"

namespace {

using ContextPtr = std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)>;
using SslPtr = std::unique_ptr<SSL, decltype(&SSL_free)>;

// One side: its TLS state over a pair of memory buffers, what it receives and what it sends.
struct Side {
    explicit Side(SSL_CTX* context) : ssl(SSL_new(context), SSL_free) {
        in = BIO_new(BIO_s_mem());
        out = BIO_new(BIO_s_mem());
        BIO_set_mem_eof_return(in, -1);
        SSL_set_bio(ssl.get(), in, out);
    }
    SslPtr ssl;
    BIO* in = nullptr;
    BIO* out = nullptr;
};

// Moves what from has sent into what to receives.
void pass(Side& from, Side& to) {
    char* bytes = nullptr;
    const long size = BIO_get_mem_data(from.out, &bytes);
    if (size > 0) {
        BIO_write(to.in, bytes, static_cast<int>(size));
        (void)BIO_reset(from.out);
    }
}

bool shakeHands(Side& client, Side& server) {
    SSL_set_connect_state(client.ssl.get());
    SSL_set_accept_state(server.ssl.get());
    for (int step = 0; step < 8; ++step) {
        const bool clientDone = SSL_do_handshake(client.ssl.get()) == 1;
        pass(client, server);
        const bool serverDone = SSL_do_handshake(server.ssl.get()) == 1;
        pass(server, client);
        if (clientDone && serverDone) {
            return true;
        }
    }
    return false;
}

// Seals bytes on from and opens them on to.
bool carry(Side& from, Side& to, const std::vector<char>& bytes, std::vector<char>& received) {
    if (SSL_write(from.ssl.get(), bytes.data(), static_cast<int>(bytes.size())) !=
        static_cast<int>(bytes.size())) {
        return false;
    }
    pass(from, to);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const int read =
            SSL_read(to.ssl.get(), received.data() + got, static_cast<int>(received.size() - got));
        if (read <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(read);
    }
    return true;
}

double threadCpuMicros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return 1e6 * static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e3;
}

}  // namespace

double tlsRecordRoundMicros(const std::string& adminKey, std::size_t requestBytes,
                            std::size_t answerBytes, int rounds) {
    const tlv::wire::ServerKey key{adminKey, tlv::wire::adminKeyId(adminKey)};
    const ContextPtr clientContext(tlv::wire::newClientTlsContext(), SSL_CTX_free);
    const ContextPtr serverContext(tlv::wire::newServerTlsContext(key), SSL_CTX_free);
    if (clientContext == nullptr || serverContext == nullptr) {
        return -1;
    }
    Side client(clientContext.get());
    Side server(serverContext.get());
    if (!tlv::wire::offerAdminKey(client.ssl.get(), adminKey) || !shakeHands(client, server)) {
        return -1;
    }
    const std::vector<char> request(requestBytes, 'q');
    const std::vector<char> answer(answerBytes, 'a');
    std::vector<char> received(std::max(requestBytes, answerBytes));
    const double before = threadCpuMicros();
    for (int round = 0; round < rounds; ++round) {
        if (!carry(client, server, request, received) || !carry(server, client, answer, received)) {
            return -1;
        }
    }
    return (threadCpuMicros() - before) / rounds;
}
