#include "platform/registry/seedregistry.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string MachineRegistryPath() {
    const char* path = std::getenv("TLV_MACHINE_REGISTRY");
    return path != nullptr && *path != '\0' ? path : "/etc/kestrova/registry.db";
}

bool IsSeededRegistryLocation() {
    const char* named = std::getenv("TLV_REGISTRY");
    return named == nullptr || *named == '\0';
}

bool SeedUserRegistry(const std::string& userPath, std::string& message) {
    std::error_code error;
    const fs::path machine = MachineRegistryPath();
    if (fs::exists(userPath, error) || !fs::is_regular_file(machine, error))
        return true;
    const fs::path partial = userPath + ".seed." + std::to_string(getpid());
    fs::copy_file(machine, partial, fs::copy_options::overwrite_existing, error);
    if (!error) {
        // The copy is the user's own, whatever the machine file's mode.
        fs::permissions(partial, fs::perms::owner_read | fs::perms::owner_write, error);
    }
    if (!error)
        fs::rename(partial, userPath, error);
    if (error) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        message = "cannot copy " + machine.string() + " to " + userPath + ": " + error.message();
        return false;
    }
    return true;
}
