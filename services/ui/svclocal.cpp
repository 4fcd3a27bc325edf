#include "services/ui/svclocal.h"

#include <unistd.h>

#include <array>
#include <cstring>

#include "config/registry.h"
#include "config/srventry.h"

namespace {

// The table holds connection strings of up to kMaxServerField characters; a shorter buffer made
// long local connection strings look remote.
constexpr DWORD kConnectionBufferSize = kMaxServerField + 1;

}  // namespace

std::optional<std::string> LocalComputerName() {
    std::array<char, 256> host{};
    if (gethostname(host.data(), host.size() - 1) != 0)
        return std::nullopt;
    std::string name(host.data(), strnlen(host.data(), host.size()));
    name = name.substr(0, name.find('.'));
    if (name.size() > kMaxComputerNameLength)
        name.resize(kMaxComputerNameLength);
    return name;
}

int IsServerLocal(const char* entryName) {
    if (entryName == nullptr)
        return 0;
    NT_RegKey table(HKEY_LOCAL_MACHINE, kAdministrationTableKey, KEY_READ);
    std::array<char, kConnectionBufferSize> connection{};
    if (!table.GetValue(entryName, connection.data(), kConnectionBufferSize))
        return 0;
    return std::strstr(connection.data(), "localhost") != nullptr ? 1 : 0;
}
