#pragma once
// Owners of the OpenSSL objects the test peers make.

#include <openssl/ssl.h>

#include <memory>

namespace tlv::test {

struct SslContextFree {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};
using SslContextPtr = std::unique_ptr<SSL_CTX, SslContextFree>;
using SslPtr = std::unique_ptr<SSL, SslFree>;

}  // namespace tlv::test
