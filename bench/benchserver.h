#pragma once
// What the benchmarks against a real server share: tlvsd with an in-memory store on a loopback
// port, a registry file in a temporary folder whose administration table names it, the S.100
// library started, and a document open on the entry.

#include <cstdint>
#include <memory>

#include "session/admindoc.h"
#include "tests/support/tlvsd_process.h"

class CAdminView;
class ECTF_AdminSession;

// Names 127.0.0.1:port under the entry in the administration table, with the tests' admin key.
bool WriteBenchEntry(const char* entryName, std::uint16_t port);

// Adds count application profiles named Profile100000, Profile100001, ...; false when one
// could not be added.
bool AddBenchProfiles(ECTF_AdminSession& session, int count);

// Attaches view to doc, shows it at 800 x 600 and loads the profile list into it.
void ShowProfileList(CAdminDoc& doc, CAdminView& view);

class BenchServer final {
public:
    explicit BenchServer(const char* entryName);
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    // The open document, or null when a step failed.
    CAdminDoc* Doc() const { return m_doc.get(); }

private:
    tlv::test::TempDir m_folder;
    tlv::test::TlvsdProcess m_server;
    bool m_bLibraryStarted = false;
    std::unique_ptr<CAdminDoc> m_doc;
};
