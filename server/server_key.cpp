#include "server/server_key.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "s100/wire/admin_key.h"

namespace tlv::server {

std::string serverKeyPath(const ServerOptions& options) {
    return !options.keyFile.empty() ? options.keyFile : options.dataDir + "/admin.key";
}

bool loadServerKey(const ServerOptions& options, std::string& key, std::string& error, bool* made) {
    const std::string path = serverKeyPath(options);
    struct stat info {};
    const bool missing = lstat(path.c_str(), &info) != 0 && errno == ENOENT;
    if (made != nullptr) {
        *made = false;
    }
    if (missing && options.keyFile.empty()) {
        const bool created = tlv::wire::createAdminKeyFile(path, key, error);
        if (made != nullptr) {
            *made = created;
        }
        return created;
    }
    if (!tlv::wire::readAdminKeyFile(path, tlv::wire::KeyOwner::Anyone, key, error)) {
        error = "admin key " + error;
        return false;
    }
    return true;
}

std::string keyHandOverText(const std::string& keyPath) {
    std::error_code ignored;
    const std::string absolute = std::filesystem::absolute(keyPath, ignored).string();
    const std::string file = absolute.empty() ? keyPath : absolute;
    const char* home = std::getenv("HOME");
    struct stat info {};
    const bool operatorsOwn =
        geteuid() != 0 && home != nullptr && stat(home, &info) == 0 && info.st_uid == geteuid();
    const std::string command =
        operatorsOwn ? "install -D -m 600 " + file + " ~/.config/kestrova/keys/ENTRY.key"
                     : "sudo install -m 600 -o USER -g USER " + file +
                           " ~USER/.config/kestrova/keys/ENTRY.key";
    return "made a new admin key " + file +
           "; to let a client administer this server, copy it as the key of the client's server "
           "entry: " +
           command;
}

}  // namespace tlv::server
