#include "platform/machine/machine.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tlv::platform {

int GetComputerNameA(char* buffer, std::uint32_t* size) {
    if (buffer == nullptr || size == nullptr)
        return 0;
    std::array<char, 256> host{};
    if (gethostname(host.data(), host.size() - 1) != 0)
        return 0;
    std::string_view name(host.data(), strnlen(host.data(), host.size()));
    name = name.substr(0, std::min(name.find('.'), std::size_t{MAX_COMPUTERNAME_LENGTH}));
    if (*size <= name.size()) {
        *size = static_cast<std::uint32_t>(name.size() + 1);
        return 0;
    }
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *size = static_cast<std::uint32_t>(name.size());
    return 1;
}

std::optional<std::string> ComputerName() {
    std::array<char, MAX_COMPUTERNAME_LENGTH + 1> name{};
    std::uint32_t size = name.size();
    if (!GetComputerNameA(name.data(), &size))
        return std::nullopt;
    return std::string(name.data(), size);
}

std::uint32_t GetEnvironmentVariableA(const char* name, char* buffer, std::uint32_t size) {
    const char* value = name == nullptr ? nullptr : std::getenv(name);
    if (value == nullptr)
        return 0;
    const std::size_t length = std::strlen(value);
    if (buffer == nullptr || length >= size)
        return static_cast<std::uint32_t>(length + 1);
    std::memcpy(buffer, value, length + 1);
    return static_cast<std::uint32_t>(length);
}

}  // namespace tlv::platform
