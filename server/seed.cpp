#include "server/seed.h"

namespace tlv::server {

std::vector<ServiceProvider> demoProviders() {
    return {{"MediaBoard_0", true}, {"MediaBoard_1", true}, {"FaxBoard_0", false}};
}

bool loadDemoSeed(ProfileStore& store, std::string& error) {
    (void)store;
    error = "the demo seed cannot be read yet: this build has no .ief reader";
    return false;
}

}  // namespace tlv::server
