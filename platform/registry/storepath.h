#pragma once
// Where the registry file lives.

#include <string>

// $TLV_REGISTRY, else $XDG_CONFIG_HOME/kestrova/registry.db, else
// $HOME/.config/kestrova/registry.db; empty when none of them is set.
std::string RegistryPathFromEnvironment();

// Creates the folders above the file when they are missing; false (with a message) on failure.
bool CreateParentFolders(const std::string& filePath, std::string& message);
