#pragma once
// The TLS both sides speak: TLS 1.3 only, authenticated by the admin key as an external
// pre-shared key, with a fresh X25519 exchange in every handshake (psk_dhe_ke), so a key that
// leaks later does not open sessions recorded before. No certificates, no session tickets, no
// early data; the one suite is TLS_AES_128_GCM_SHA256 (docs/protocol.md says why).
//
// The identity a client offers is the key's id, derived from the key: tlvsd tells an unknown key
// from a proof that does not verify, names the id in its log, and a rotated key is told apart
// from the one it replaced.

#include <cstddef>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;

namespace tlv::wire {

// "tlvsd-key:" and 16 hex digits of SHA-256 over a label and the key; "" for a key that is not
// kAdminKeyBytes long.
std::string adminKeyId(const std::string& key);

// A new context of the client's side; null when OpenSSL cannot make one. The caller owns it.
SSL_CTX* newClientTlsContext();

// Makes ssl, of a client context, offer key in its handshake. key must outlive the handshake.
bool offerAdminKey(SSL* ssl, const std::string& key);

// True when the handshake of ssl that completed was authenticated by the pre-shared key (a
// server that tried anything else never gets this far, but this is what a client relies on).
bool keyWasUsed(SSL* ssl);

// What a server saw of the key a client offered.
struct OfferedKey {
    enum class Kind { None, Unknown, Ours };
    Kind kind = Kind::None;
    std::string id;  // the identity offered, at most kMaxShownKeyIdBytes of it
};
inline constexpr std::size_t kMaxShownKeyIdBytes = 64;

// The server's key: what a server context checks offered identities against. Replacing it
// affects handshakes that start afterwards.
struct ServerKey {
    std::string key;
    std::string id;
};

// A new context of the server's side that accepts key (which must outlive the context); null
// when OpenSSL cannot make one. The caller owns it.
SSL_CTX* newServerTlsContext(const ServerKey& key);

// Makes ssl, of a server context, note into offered what its client offers. offered must outlive
// the handshake.
bool watchOfferedKey(SSL* ssl, OfferedKey& offered);

}  // namespace tlv::wire
