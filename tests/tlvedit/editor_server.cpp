#include "tests/tlvedit/editor_server.h"

#include <gtest/gtest.h>

#include "platform/registry/regapi.h"
#include "s100/client/server_table.h"

namespace tlv::test {

bool WriteServerEntry(const std::string& name, const std::string& connectString) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, tlv::client::kAdministrationServersKey, 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(connectString.c_str()),
                                       static_cast<DWORD>(connectString.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS && installEntryKey(name);
}

EditorServer::EditorServer(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--data", m_data.path()};
    all.insert(all.end(), args.begin(), args.end());
    if (!m_server.start(all)) {
        ADD_FAILURE() << "tlvsd did not start";
        return;
    }
    const std::string connect = "tcp:127.0.0.1:" + std::to_string(m_server.port());
    if (!WriteServerEntry(kEditorEntry, connect)) {
        ADD_FAILURE() << "cannot write the server entry";
        return;
    }
    m_bReady = true;
}

}  // namespace tlv::test
