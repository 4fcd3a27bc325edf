#pragma once
// The demo data set: profiles and service definitions from the .ief files of server/seed/demo/,
// compiled into tlvsd (so the binary runs from anywhere), and the demo's service providers.

#include <string>
#include <vector>

#include "server/options.h"
#include "server/profile_store.h"

namespace tlv::server {

struct SeedFile {
    const char* name;
    const char* text;
};

// The compiled-in files (generated from server/seed/demo/*.ief at build time).
const std::vector<SeedFile>& demoSeedFiles();

// MediaBoard_0 and MediaBoard_1 available, FaxBoard_0 not.
std::vector<ServiceProvider> demoProviders();

// Adds every demo profile to the store in one go. False with a message when a file does not
// read or the store refuses it.
bool loadDemoSeed(ProfileStore& store, std::string& error);

}  // namespace tlv::server
