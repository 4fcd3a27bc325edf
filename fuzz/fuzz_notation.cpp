// Parses arbitrary bytes as the text notation; whatever parses must print and parse back equal.
#include <cstdint>
#include <cstdlib>

#include "s100/kvs/notation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    s100::ParseError error;
    const std::optional<s100::KVSet> set = s100::parseKVSet(text, error);
    if (!set) {
        if (error.message.empty() || error.position.line < 1 || error.position.column < 1) {
            std::abort();
        }
        return 0;
    }
    const std::string printed = s100::printKVSet(*set);
    const std::optional<s100::KVSet> again = s100::parseKVSet(printed, error);
    if (!again || !(*again == *set) || s100::printKVSet(*again) != printed) {
        std::abort();
    }
    return 0;
}
