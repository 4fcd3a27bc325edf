#include "services/ui/svclocal.h"

#include <array>
#include <cstring>

#include "config/registry.h"
#include "config/srventry.h"

namespace {

// The table holds connection strings of up to kMaxServerField characters; a shorter buffer made
// long local connection strings look remote.
constexpr DWORD kConnectionBufferSize = kMaxServerField + 1;

}  // namespace

int IsServerLocal(const char* entryName) {
    if (entryName == nullptr)
        return 0;
    NT_RegKey table(HKEY_LOCAL_MACHINE, kAdministrationTableKey, KEY_READ);
    std::array<char, kConnectionBufferSize> connection{};
    if (!table.GetValue(entryName, connection.data(), kConnectionBufferSize))
        return 0;
    return std::strstr(connection.data(), "localhost") != nullptr ? 1 : 0;
}
