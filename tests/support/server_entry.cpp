#include "tests/support/server_entry.h"

#include "platform/registry/regapi.h"
#include "s100/client/server_table.h"

namespace tlv::test {

bool writeServerEntry(const std::string& name, const std::string& connectString) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, tlv::client::kAdministrationServersKey, 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(connectString.c_str()),
                                       static_cast<DWORD>(connectString.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace tlv::test
