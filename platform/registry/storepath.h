#pragma once
// Where the registry file lives.

#include <string>

// $TLV_REGISTRY, else $XDG_CONFIG_HOME/kestrova/registry.db, else
// $HOME/.config/kestrova/registry.db; empty when none of them is set.
std::string RegistryPathFromEnvironment();

// The machine's registry, which the package writes and every user's reads through:
// $TLV_MACHINE_REGISTRY, else /etc/kestrova/registry.db.
std::string MachineRegistryPath();

// Creates the folders above the file when they are missing; false (with a message) on failure.
bool CreateParentFolders(const std::string& filePath, std::string& message);
