#include "s100/client/entry_key.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

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

// As ssh asks of the folders above a private key: someone who may write to one of them could put
// another key in the key's place.
bool foldersArePrivate(const std::string& keyPath, const std::string& top, std::string& problem) {
    std::string folder = keyPath.substr(0, keyPath.rfind('/'));
    for (;;) {
        struct stat info {};
        if (stat(folder.c_str(), &info) != 0) {
            problem = folder + ": cannot be examined";
            return false;
        }
        if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
            problem = keyPath + ": others may write to the folder " + folder;
            return false;
        }
        if (info.st_uid != geteuid() && info.st_uid != 0) {
            problem = keyPath + ": the folder " + folder + " belongs to another user";
            return false;
        }
        const std::size_t slash = folder.rfind('/');
        if (folder.size() <= top.size() || slash == std::string::npos || slash == 0) {
            return true;
        }
        folder.resize(slash);
    }
}

}  // namespace

std::string entryKeyPath(const std::string& entryName) {
    const std::string folder = configFolder();
    if (folder.empty() || !namesAFile(entryName)) {
        return {};
    }
    return folder + "/kestrova/keys/" + entryName + ".key";
}

CTerror loadEntryKey(const std::string& entryName, std::string& key, std::string& problem,
                     std::string* file, tlv::wire::KeyFault* fault) {
    tlv::wire::KeyFault ignored = tlv::wire::KeyFault::None;
    tlv::wire::KeyFault& kind = fault != nullptr ? *fault : ignored;
    kind = tlv::wire::KeyFault::Unusable;
    const std::string path = entryKeyPath(entryName);
    if (path.empty()) {
        problem = "no key file can be named for the entry \"" + entryName + "\"";
        return CTerr_NoAdminKey;
    }
    const std::string found = fileOfAnyCase(path, entryName + ".key");
    if (file != nullptr) {
        *file = found;
    }
    if (!tlv::wire::readAdminKeyFile(found, tlv::wire::KeyOwner::ThisUser, key, problem, &kind)) {
        return CTerr_NoAdminKey;
    }
    if (!foldersArePrivate(found, configFolder(), problem)) {
        kind = tlv::wire::KeyFault::Unusable;
        return CTerr_NoAdminKey;
    }
    return CTerr_NoError;
}

CTerror loadKeyFile(const std::string& path, std::string& key, std::string& problem,
                    tlv::wire::KeyFault* fault) {
    tlv::wire::KeyFault ignored = tlv::wire::KeyFault::None;
    tlv::wire::KeyFault& kind = fault != nullptr ? *fault : ignored;
    kind = tlv::wire::KeyFault::Unusable;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string file = slash == std::string::npos ? "./" + path : path;
    if (!tlv::wire::readAdminKeyFile(path, tlv::wire::KeyOwner::ThisUser, key, problem, &kind)) {
        return CTerr_NoAdminKey;
    }
    if (!foldersArePrivate(file, folder, problem)) {
        kind = tlv::wire::KeyFault::Unusable;
        return CTerr_NoAdminKey;
    }
    return CTerr_NoError;
}

}  // namespace tlv::client
