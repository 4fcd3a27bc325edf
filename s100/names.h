#pragma once
// What a name the server keeps may hold: profile names and classes, and service names, which are
// profile names too (the definitions are profiles of class "TLVS_Service"). Names travel packed
// in NUL-ended lists and are written to logs and terminals, so no control byte may stand in one:
// a NUL would split the list, a line break forge a log line, an ESC drive a terminal.

#include <cstddef>
#include <string_view>

namespace s100 {

// The longest profile name or class the server stores.
inline constexpr std::size_t kMaxProfileNameBytes = 1024;
// The longest service name; a service name holds no space either.
inline constexpr std::size_t kMaxServiceNameLength = 32;

// Any byte but the C0 controls and DEL; bytes above 0x7F are kept as they are (8-bit names).
constexpr bool isNameByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte != 0x7F;
}

constexpr bool isProfileName(std::string_view name) {
    if (name.empty() || name.size() > kMaxProfileNameBytes) {
        return false;
    }
    for (const char c : name) {
        if (!isNameByte(c)) {
            return false;
        }
    }
    return true;
}

constexpr bool isServiceName(std::string_view name) {
    return isProfileName(name) && name.size() <= kMaxServiceNameLength &&
           name.find(' ') == std::string_view::npos;
}

}  // namespace s100
