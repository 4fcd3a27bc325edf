#include "tests/tlvedit/editor_server.h"

#include <gtest/gtest.h>

#include "tests/support/server_entry.h"

namespace tlv::test {

bool WriteServerEntry(const std::string& name, const std::string& connectString) {
    return writeServerEntry(name, connectString) && installEntryKey(name);
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
