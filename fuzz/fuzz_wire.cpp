// Decodes arbitrary bytes as a wire KV set; whatever decodes must encode and decode back equal.
#include <cstdint>
#include <cstdlib>

#include "s100/kvs/wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    s100::DecodeError error;
    const std::optional<s100::KVSet> set = s100::decodeKVSet(data, size, error);
    if (!set) {
        if (error.code == CTerr_NoError || error.message.empty()) {
            std::abort();
        }
        return 0;
    }
    const std::string bytes = s100::encodeKVSet(*set);
    const std::optional<s100::KVSet> again = s100::decodeKVSet(bytes.data(), bytes.size(), error);
    if (!again || !(*again == *set)) {
        std::abort();
    }
    return 0;
}
