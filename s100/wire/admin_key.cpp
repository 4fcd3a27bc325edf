#include "s100/wire/admin_key.h"

#include <fcntl.h>
#include <openssl/rand.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/filedescriptor.h"

namespace tlv::wire {
namespace {

using tlv::platform::FileDescriptor;

std::string reason(const std::string& path, const std::string& why) {
    return path + ": " + why;
}

}  // namespace

std::string freshRandomBytes(std::size_t count) {
    std::string bytes(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(count)) !=
        1) {
        return {};
    }
    return bytes;
}

bool readAdminKeyFile(const std::string& path, KeyOwner owner, std::string& key,
                      std::string& problem, KeyFault* fault) {
    KeyFault ignored = KeyFault::None;
    KeyFault& found = fault != nullptr ? *fault : ignored;
    found = KeyFault::Unusable;
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer that never comes.
    const FileDescriptor file(
        ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) {
        const int error = errno;
        if (error == ENOENT) {
            found = KeyFault::Missing;
        }
        problem = reason(path, error == ELOOP ? "a symbolic link; name the key file itself"
                                              : std::strerror(error));
        return false;
    }
    struct stat info {};
    if (fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = reason(path, "not a regular file");
        return false;
    }
    if (owner == KeyOwner::ThisUser && info.st_uid != geteuid()) {
        problem = reason(path, "owned by another user");
        return false;
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        found = KeyFault::NotPrivate;
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
        const ssize_t n = ::read(file.Get(), bytes.data() + got, bytes.size() - got);
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
    found = KeyFault::None;
    return true;
}

bool createAdminKeyFile(const std::string& path, std::string& key, std::string& problem) {
    const std::string bytes = freshRandomBytes(kAdminKeyBytes);
    if (bytes.empty()) {
        problem = reason(path, "no random bytes for a new key");
        return false;
    }
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (file.Get() < 0) {
        problem = reason(path, std::strerror(errno));
        return false;
    }
    const bool written = ::write(file.Get(), bytes.data(), bytes.size()) ==
                             static_cast<ssize_t>(bytes.size()) &&
                         ::fsync(file.Get()) == 0;
    if (!file.Close() || !written) {
        problem = reason(path, "cannot write the new key");
        ::unlink(path.c_str());
        return false;
    }
    key = bytes;
    return true;
}

}  // namespace tlv::wire
