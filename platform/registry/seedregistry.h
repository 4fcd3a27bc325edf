#pragma once
// The machine-wide registry: an installed package writes the installation root, the installed
// versions and the default server entries into it, and a user's registry that does not exist
// yet starts as a copy of it, the way /etc/skel seeds a home folder.

#include <string>

// $TLV_MACHINE_REGISTRY, else /etc/kestrova/registry.db.
std::string MachineRegistryPath();

// Whether the user's registry is the one found from the home folder: a file named by
// $TLV_REGISTRY is used as it is, never seeded.
bool IsSeededRegistryLocation();

// Copies the machine-wide registry to userPath when userPath does not exist yet and the
// machine-wide one does. The copy is made beside the target and renamed into place, so no
// half-written registry is ever seen. False with a message when copying failed (the user's
// registry then starts empty); true when there was nothing to do.
bool SeedUserRegistry(const std::string& userPath, std::string& message);
