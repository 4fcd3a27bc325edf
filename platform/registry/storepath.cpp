#include "platform/registry/storepath.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string RegistryPathFromEnvironment() {
    if (std::string path = Environment("TLV_REGISTRY"); !path.empty()) {
        return path;
    }
    if (std::string config = Environment("XDG_CONFIG_HOME"); !config.empty()) {
        return config + "/kestrova/registry.db";
    }
    if (std::string home = Environment("HOME"); !home.empty()) {
        return home + "/.config/kestrova/registry.db";
    }
    return {};
}

std::string MachineRegistryPath() {
    std::string path = Environment("TLV_MACHINE_REGISTRY");
    return path.empty() ? "/etc/kestrova/registry.db" : path;
}

bool CreateParentFolders(const std::string& filePath, std::string& message) {
    const std::filesystem::path parent = std::filesystem::path(filePath).parent_path();
    if (parent.empty()) {
        return true;
    }
    std::error_code error;
    std::filesystem::create_directories(parent, error);
    if (error) {
        message = "cannot create folder " + parent.string() + ": " + error.message();
        return false;
    }
    return true;
}
