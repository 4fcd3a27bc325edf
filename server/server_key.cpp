#include "server/server_key.h"

#include <sys/stat.h>

#include <cerrno>

#include "s100/wire/admin_key.h"

namespace tlv::server {

std::string serverKeyPath(const ServerOptions& options) {
    return !options.keyFile.empty() ? options.keyFile : options.dataDir + "/admin.key";
}

bool loadServerKey(const ServerOptions& options, std::string& key, std::string& error) {
    const std::string path = serverKeyPath(options);
    struct stat info {};
    const bool missing = lstat(path.c_str(), &info) != 0 && errno == ENOENT;
    if (missing && options.keyFile.empty()) {
        return tlv::wire::createAdminKeyFile(path, key, error);
    }
    if (!tlv::wire::readAdminKeyFile(path, tlv::wire::KeyOwner::Anyone, key, error)) {
        error = "admin key " + error;
        return false;
    }
    return true;
}

}  // namespace tlv::server
