#include "server/seed.h"

#include "s100/kvs/profile_file.h"
#include "s100/kvs/wire.h"

namespace tlv::server {

std::vector<ServiceProvider> demoProviders() {
    return {{"MediaBoard_0", true}, {"MediaBoard_1", true}, {"FaxBoard_0", false}};
}

bool loadDemoSeed(ProfileStore& store, std::string& error) {
    std::vector<StoredProfile> profiles;
    for (const SeedFile& file : demoSeedFiles()) {
        s100::ParseError parseError;
        const auto profile = s100::parseProfileFile(file.text, parseError);
        if (!profile) {
            error = std::string("demo seed ") + file.name + ": " + parseError.text();
            return false;
        }
        tlv::wire::KVSet contents;
        s100::toWire(profile->contents, contents);
        profiles.push_back({profile->name, profile->profileClass, contents.SerializeAsString()});
    }
    const StoreResult result = store.insertAll(profiles);
    if (result != StoreResult::Ok) {
        error = "cannot store the demo seed: " + (result == StoreResult::Exists
                                                      ? std::string("a profile is there twice")
                                                      : store.lastError());
        return false;
    }
    return true;
}

}  // namespace tlv::server
