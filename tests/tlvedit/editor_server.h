#pragma once
// A real tlvsd on a loopback port and a temporary registry whose administration table names
// it as "Default_Server", the entry the editor is started with.

#include <string>
#include <vector>

#include "tests/registry/temp_registry.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {

inline constexpr const char* kEditorEntry = "Default_Server";

// Writes (or replaces) an entry of the administration server table.
bool WriteServerEntry(const std::string& name, const std::string& connectString);

class EditorServer final {
public:
    // Starts tlvsd with the extra arguments (faults to inject, for instance).
    explicit EditorServer(const std::vector<std::string>& args = {});
    EditorServer(const EditorServer&) = delete;
    EditorServer& operator=(const EditorServer&) = delete;

    bool IsReady() const { return m_bReady; }
    TlvsdProcess& Server() { return m_server; }

private:
    TempRegistry m_registry;
    TempDir m_data;
    TlvsdProcess m_server;
    bool m_bReady = false;
};

}  // namespace tlv::test
