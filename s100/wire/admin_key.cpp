#include "s100/wire/admin_key.h"

#include <fcntl.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tlv::wire {
namespace {

constexpr char kServerLabel[] = "tlvsd admin key: server proof";
constexpr char kClientLabel[] = "tlvsd admin key: client proof";

std::string keyProof(const char* label, const std::string& key, const std::string& clientNonce,
                     const std::string& serverNonce) {
    if (key.size() != kAdminKeyBytes) {
        return {};
    }
    // The label's NUL separates it from the nonces; both nonces have a fixed length.
    std::string message(label, std::strlen(label) + 1);
    message += clientNonce;
    message += serverNonce;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
             reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest,
             &length) == nullptr) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(digest), length);
}

std::string reason(const std::string& path, const std::string& why) {
    return path + ": " + why;
}

// Closes a descriptor on every way out.
class Descriptor final {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    bool closeChecked() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

}  // namespace

std::string freshRandomBytes(std::size_t count) {
    std::string bytes(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(count)) !=
        1) {
        return {};
    }
    return bytes;
}

std::string serverKeyProof(const std::string& key, const std::string& clientNonce,
                           const std::string& serverNonce) {
    return keyProof(kServerLabel, key, clientNonce, serverNonce);
}

std::string clientKeyProof(const std::string& key, const std::string& clientNonce,
                           const std::string& serverNonce) {
    return keyProof(kClientLabel, key, clientNonce, serverNonce);
}

bool proofMatches(const std::string& expected, const std::string& received) {
    return !expected.empty() && expected.size() == received.size() &&
           CRYPTO_memcmp(expected.data(), received.data(), expected.size()) == 0;
}

bool readAdminKeyFile(const std::string& path, std::string& key, std::string& problem) {
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        problem = reason(path, std::strerror(errno));
        return false;
    }
    struct stat info {};
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = reason(path, "not a regular file");
        return false;
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        problem = reason(path, "group or others may access it; make it private (chmod 600)");
        return false;
    }
    if (info.st_size != static_cast<off_t>(kAdminKeyBytes)) {
        problem = reason(path, "a key file holds exactly " + std::to_string(kAdminKeyBytes) +
                                   " bytes");
        return false;
    }
    std::string bytes(kAdminKeyBytes, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            problem = reason(path, n < 0 ? std::strerror(errno) : "shorter than it claims");
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    key = std::move(bytes);
    return true;
}

bool createAdminKeyFile(const std::string& path, std::string& key, std::string& problem) {
    const std::string bytes = freshRandomBytes(kAdminKeyBytes);
    if (bytes.empty()) {
        problem = reason(path, "no random bytes for a new key");
        return false;
    }
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (file.get() < 0) {
        problem = reason(path, std::strerror(errno));
        return false;
    }
    const bool written = ::write(file.get(), bytes.data(), bytes.size()) ==
                             static_cast<ssize_t>(bytes.size()) &&
                         ::fsync(file.get()) == 0;
    if (!file.closeChecked() || !written) {
        problem = reason(path, "cannot write the new key");
        ::unlink(path.c_str());
        return false;
    }
    key = bytes;
    return true;
}

}  // namespace tlv::wire
