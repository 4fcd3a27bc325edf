#include "s100/wire/tls_psk.h"

#include <openssl/evp.h>
#include <openssl/ssl.h>

#include <string_view>

#include "s100/wire/admin_key.h"

namespace tlv::wire {
namespace {

constexpr char kKeyIdLabel[] = "tlvsd admin key id";
constexpr char kKeyIdPrefix[] = "tlvsd-key:";
constexpr std::size_t kKeyIdDigestBytes = 8;

// TLS_AES_128_GCM_SHA256: the key's hash must be the suite's, so there is exactly one.
constexpr char kSuiteName[] = "TLS_AES_128_GCM_SHA256";
constexpr unsigned char kSuiteBytes[] = {0x13, 0x01};
constexpr char kGroups[] = "X25519";

// What a client SSL offers; freed with the SSL.
struct ClientOffer {
    std::string key;
    std::string id;
};

void freeClientOffer(void*, void* data, CRYPTO_EX_DATA*, int, long, void*) {
    delete static_cast<ClientOffer*>(data);
}

int clientOfferIndex() {
    static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, freeClientOffer);
    return index;
}

int offeredKeyIndex() {
    static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

int serverKeyIndex() {
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

// The key as the session a handshake resumes from: that is how OpenSSL takes an external key.
SSL_SESSION* keySession(SSL* ssl, const std::string& key) {
    const SSL_CIPHER* cipher = SSL_CIPHER_find(ssl, kSuiteBytes);
    SSL_SESSION* session = cipher != nullptr ? SSL_SESSION_new() : nullptr;
    if (session != nullptr &&
        SSL_SESSION_set1_master_key(session, reinterpret_cast<const unsigned char*>(key.data()),
                                    key.size()) == 1 &&
        SSL_SESSION_set_cipher(session, cipher) == 1 &&
        SSL_SESSION_set_protocol_version(session, TLS1_3_VERSION) == 1) {
        return session;
    }
    SSL_SESSION_free(session);
    return nullptr;
}

int useAdminKey(SSL* ssl, const EVP_MD* digest, const unsigned char** id, std::size_t* idLength,
                SSL_SESSION** session) {
    *session = nullptr;
    const auto* offer = static_cast<const ClientOffer*>(SSL_get_ex_data(ssl, clientOfferIndex()));
    if (offer == nullptr) {
        return 1;  // nothing to offer: the handshake fails, with nothing sent that it needs
    }
    const SSL_CIPHER* cipher = SSL_CIPHER_find(ssl, kSuiteBytes);
    if (cipher == nullptr ||
        (digest != nullptr && digest != SSL_CIPHER_get_handshake_digest(cipher))) {
        return 0;
    }
    *session = keySession(ssl, offer->key);
    *id = reinterpret_cast<const unsigned char*>(offer->id.data());
    *idLength = offer->id.size();
    return *session != nullptr ? 1 : 0;
}

// An identity that is not our key's id gets no session: the handshake then fails, as the
// server has nothing else to authenticate with.
int findAdminKey(SSL* ssl, const unsigned char* identity, std::size_t length,
                 SSL_SESSION** session) {
    *session = nullptr;
    const auto* key = static_cast<const ServerKey*>(
        SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), serverKeyIndex()));
    if (key == nullptr) {
        return 0;
    }
    const std::string_view offeredId(reinterpret_cast<const char*>(identity), length);
    const bool ours = offeredId == key->id;
    if (auto* offered = static_cast<OfferedKey*>(SSL_get_ex_data(ssl, offeredKeyIndex()))) {
        offered->kind = ours ? OfferedKey::Kind::Ours : OfferedKey::Kind::Unknown;
        offered->id = std::string(offeredId.substr(0, kMaxShownKeyIdBytes));
    }
    if (!ours) {
        return 1;
    }
    *session = keySession(ssl, key->key);
    return *session != nullptr ? 1 : 0;
}

// What both sides agree on; the rest is each side's own.
SSL_CTX* newContext(const SSL_METHOD* method) {
    SSL_CTX* context = SSL_CTX_new(method);
    if (context == nullptr) {
        return nullptr;
    }
    SSL_CTX_set_options(context, SSL_OP_NO_TICKET | SSL_OP_NO_RENEGOTIATION |
                                     SSL_OP_NO_COMPRESSION);
    // Never a handshake without a fresh exchange: a leaked key must not open recorded sessions.
    SSL_CTX_clear_options(context, SSL_OP_ALLOW_NO_DHE_KEX);
    SSL_CTX_set_session_cache_mode(context, SSL_SESS_CACHE_OFF);
    if (SSL_CTX_set_min_proto_version(context, TLS1_3_VERSION) != 1 ||
        SSL_CTX_set_max_proto_version(context, TLS1_3_VERSION) != 1 ||
        SSL_CTX_set_ciphersuites(context, kSuiteName) != 1 ||
        SSL_CTX_set1_groups_list(context, kGroups) != 1 ||
        SSL_CTX_set_num_tickets(context, 0) != 1 || SSL_CTX_set_max_early_data(context, 0) != 1 ||
        SSL_CTX_set_recv_max_early_data(context, 0) != 1) {
        SSL_CTX_free(context);
        return nullptr;
    }
    return context;
}

std::string hex(const unsigned char* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0f];
    }
    return text;
}

}  // namespace

std::string adminKeyId(const std::string& key) {
    if (key.size() != kAdminKeyBytes) {
        return {};
    }
    std::string message(kKeyIdLabel, sizeof kKeyIdLabel);  // with its NUL, as a separator
    message += key;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(message.data(), message.size(), digest, &length, EVP_sha256(), nullptr) != 1 ||
        length < kKeyIdDigestBytes) {
        return {};
    }
    return kKeyIdPrefix + hex(digest, kKeyIdDigestBytes);
}

SSL_CTX* newClientTlsContext() {
    SSL_CTX* context = newContext(TLS_client_method());
    if (context == nullptr) {
        return nullptr;
    }
    // No certificate is trusted: a server that offers one instead of using the key fails.
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_psk_use_session_callback(context, useAdminKey);
    return context;
}

bool offerAdminKey(SSL* ssl, const std::string& key) {
    const std::string id = adminKeyId(key);
    if (id.empty() || clientOfferIndex() < 0) {
        return false;
    }
    delete static_cast<ClientOffer*>(SSL_get_ex_data(ssl, clientOfferIndex()));
    auto* offer = new ClientOffer{key, id};
    if (SSL_set_ex_data(ssl, clientOfferIndex(), offer) != 1) {
        delete offer;
        return false;
    }
    return true;
}

bool keyWasUsed(SSL* ssl) {
    return SSL_session_reused(ssl) == 1 && SSL_version(ssl) == TLS1_3_VERSION;
}

SSL_CTX* newServerTlsContext(const ServerKey& key) {
    SSL_CTX* context = newContext(TLS_server_method());
    if (context == nullptr) {
        return nullptr;
    }
    if (serverKeyIndex() < 0 ||
        SSL_CTX_set_ex_data(context, serverKeyIndex(), const_cast<ServerKey*>(&key)) != 1) {
        SSL_CTX_free(context);
        return nullptr;
    }
    SSL_CTX_set_verify(context, SSL_VERIFY_NONE, nullptr);
    SSL_CTX_set_psk_find_session_callback(context, findAdminKey);
    return context;
}

bool watchOfferedKey(SSL* ssl, OfferedKey& offered) {
    return offeredKeyIndex() >= 0 && SSL_set_ex_data(ssl, offeredKeyIndex(), &offered) == 1;
}

}  // namespace tlv::wire
