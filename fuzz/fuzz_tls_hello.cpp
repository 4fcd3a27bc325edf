// Feeds arbitrary bytes to tlvsd's side of the TLS handshake, as its first bytes from a client:
// the server context tlvsd uses, its key lookup by identity, over memory instead of a socket.
// Whatever arrives, the handshake must not complete without the key, and what the server learnt
// of an offered key must stay within its bound.
#include <openssl/bio.h>
#include <openssl/ssl.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "s100/wire/admin_key.h"
#include "s100/wire/tls_psk.h"

namespace {

// The seeds' ClientHellos offer this key's id.
const tlv::wire::ServerKey& serverKey() {
    static const tlv::wire::ServerKey key{std::string(tlv::wire::kAdminKeyBytes, 'K'),
                                          tlv::wire::adminKeyId(
                                              std::string(tlv::wire::kAdminKeyBytes, 'K'))};
    return key;
}

SSL_CTX* serverContext() {
    static SSL_CTX* const context = tlv::wire::newServerTlsContext(serverKey());
    return context;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SSL* ssl = SSL_new(serverContext());
    if (ssl == nullptr) {
        std::abort();
    }
    BIO* in = BIO_new_mem_buf(data, static_cast<int>(size));
    BIO* out = BIO_new(BIO_s_mem());
    SSL_set_bio(ssl, in, out);  // the SSL owns both from here
    SSL_set_accept_state(ssl);
    tlv::wire::OfferedKey offered;
    tlv::wire::watchOfferedKey(ssl, offered);
    if (SSL_do_handshake(ssl) == 1 || offered.id.size() > tlv::wire::kMaxShownKeyIdBytes) {
        std::abort();
    }
    SSL_free(ssl);
    return 0;
}
