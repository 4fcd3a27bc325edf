#include "s100/client/entry_key.h"

#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <cstdlib>

#include "s100/wire/admin_key.h"

namespace tlv::client {
namespace {

std::string configFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/') {
        return config;
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? std::string(home) + "/.config" : std::string{};
}

bool namesAFile(const std::string& entryName) {
    return !entryName.empty() && entryName != "." && entryName != ".." &&
           entryName.find('/') == std::string::npos;
}

// Entry names are compared without regard to case, like the registry does: when no file has the
// name as written, a file whose name differs only in case is the entry's.
std::string fileOfAnyCase(const std::string& path, const std::string& fileName) {
    if (access(path.c_str(), F_OK) == 0) {
        return path;
    }
    const std::string folder = path.substr(0, path.size() - fileName.size());
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) {
        return path;
    }
    std::string found = path;
    while (const dirent* item = readdir(listing)) {
        if (strcasecmp(item->d_name, fileName.c_str()) == 0) {
            found = folder + item->d_name;
            break;
        }
    }
    closedir(listing);
    return found;
}

}  // namespace

std::string entryKeyPath(const std::string& entryName) {
    const std::string folder = configFolder();
    if (folder.empty() || !namesAFile(entryName)) {
        return {};
    }
    return folder + "/kestrova/keys/" + entryName + ".key";
}

CTerror loadEntryKey(const std::string& entryName, std::string& key, std::string& problem) {
    const std::string path = entryKeyPath(entryName);
    if (path.empty()) {
        problem = "no key file can be named for the entry \"" + entryName + "\"";
        return CTerr_NoAdminKey;
    }
    return tlv::wire::readAdminKeyFile(fileOfAnyCase(path, entryName + ".key"), key, problem)
               ? CTerr_NoError
               : CTerr_NoAdminKey;
}

}  // namespace tlv::client
