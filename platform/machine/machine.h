#pragma once
// Facts about this machine and process, as the platform's calls give them.

#include <cstdint>
#include <optional>
#include <string>

namespace tlv::platform {

// Computer names are NetBIOS names: at most this many characters.
inline constexpr std::uint32_t MAX_COMPUTERNAME_LENGTH = 15;

// The host name up to its first dot, cut to MAX_COMPUTERNAME_LENGTH characters, NUL-terminated.
// On entry *size is the buffer's size; on success it is the name's length without the NUL and
// the result is nonzero. A buffer too small, or a host name that cannot be read, gives 0 (for a
// small buffer *size is then the size needed).
int GetComputerNameA(char* buffer, std::uint32_t* size);

// The same name as a string; empty optional when the host name cannot be read.
std::optional<std::string> ComputerName();

// The variable's text, NUL-terminated, when it fits the buffer: returns its length without the
// NUL. Returns the size needed, NUL included, when it does not fit (the buffer is left alone),
// and 0 when the variable is not set.
std::uint32_t GetEnvironmentVariableA(const char* name, char* buffer, std::uint32_t size);

}  // namespace tlv::platform
