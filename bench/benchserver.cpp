#include "bench/benchserver.h"

#include <stdlib.h>

#include <string>

#include "platform/registry/regapi.h"
#include "s100/s100.h"
#include "session/admsess.h"
#include "tests/support/server_entry.h"
#include "views/adminvw.h"

bool WriteBenchEntry(const char* entryName, std::uint16_t port) {
    return tlv::test::writeServerEntry(entryName, "tcp:127.0.0.1:" + std::to_string(port)) &&
           tlv::test::installEntryKey(entryName);
}

BenchServer::BenchServer(const char* entryName) {
    setenv("TLV_REGISTRY", (m_folder.path() + "/registry.db").c_str(), 1);
    if (RegUseRegistryFile("") != ERROR_SUCCESS || !m_server.start({}) ||
        !WriteBenchEntry(entryName, m_server.port()))
        return;
    m_bLibraryStarted = CT_Initialize(nullptr) == CT_SUCCESS;
    auto doc = std::make_unique<CAdminDoc>();
    if (m_bLibraryStarted && doc->OnOpenDocument(entryName))
        m_doc = std::move(doc);
}

BenchServer::~BenchServer() {
    m_doc.reset();
    if (m_bLibraryStarted)
        CT_Shutdown(nullptr);
}

bool AddBenchProfiles(ECTF_AdminSession& session, int count) {
    CTkvs set = 0;
    if (CTkvs_Create(&set, nullptr) != CT_SUCCESS)
        return false;
    bool ok = CTkvs_PutString(set, KEY_AsiName, "A1", nullptr) == CT_SUCCESS;
    for (int i = 0; ok && i < count; ++i) {
        const std::string name = "Profile" + std::to_string(100000 + i);
        ok = session.AddProfile(name.c_str(), "Application", set) != 0;
    }
    CTkvs_Destroy(set, nullptr);
    return ok;
}

void ShowProfileList(CAdminDoc& doc, CAdminView& view) {
    doc.AddView(&view);
    view.resize(800, 600);
    view.show();
    view.LoadView(VT_Profiles, 0);
}
