#include "app/serverchoice.h"

#include <new>

#include "config/registry.h"
#include "resources/stringtable.h"

namespace {

// Sizes come from the registry file: a size beyond this is treated as unreadable, not allocated.
constexpr DWORD kMaxRegistryText = 1u << 20;
constexpr DWORD kBufferSlack = 10;

}  // namespace

ServerChoice ReadServerChoice() {
    ServerChoice choice;
    NT_RegKey table(HKEY_LOCAL_MACHINE, kAdministrationTableKey, GENERIC_READ);
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (!table.IsValid() || !table.GetValueDetails(count, longestName, longestData) ||
        longestName > kMaxRegistryText || longestData > kMaxRegistryText) {
        choice.failureMessage = IDS_REGISTRY_ACCESS_FAILED;
        return choice;
    }
    try {
        std::vector<char> name(longestName + kBufferSlack);
        std::vector<char> data(longestData + kBufferSlack);
        choice.names.reserve(static_cast<std::size_t>(count) + 1);
        for (DWORD index = 0; index < count; ++index) {
            const int ok = table.GetStringValue(index, name.data(), static_cast<DWORD>(name.size()),
                                                data.data(), static_cast<DWORD>(data.size()));
            // An unnamed value would end the list early and hide the entries after it.
            if (ok && name[0] == '\0')
                continue;
            choice.names.emplace_back(ok ? name.data() : kRegistryErrorName);
        }
        choice.names.emplace_back();
    } catch (const std::bad_alloc&) {
        choice.names.clear();
        choice.failureMessage = IDS_MEMORY_ALLOCATION_FAILED;
    }
    return choice;
}
