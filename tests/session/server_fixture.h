#pragma once
// A real tlvsd on a loopback port, a temporary registry whose administration table names it,
// the S.100 library started, and a scripted modal seam recording every box shown.

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "framework/testing/scriptedmodalseam.h"
#include "framework/view.h"
#include "s100/s100.h"
#include "tests/registry/temp_registry.h"
#include "tests/support/tlvsd_process.h"

class CAdminDoc;
class CViewLine;

namespace tlv::test {

inline constexpr const char* kServerEntry = "TestServer";

// Adds an entry to the administration server table of the process's registry and writes the
// test key as its key file; false when either fails.
bool WriteServerEntry(const std::string& name, const std::string& connectString);

class ServerFixture {
public:
    // Starts tlvsd with the arguments; the test fails when it does not start.
    explicit ServerFixture(const std::vector<std::string>& args = {});
    ~ServerFixture();
    ServerFixture(const ServerFixture&) = delete;
    ServerFixture& operator=(const ServerFixture&) = delete;

    bool IsReady() const { return m_bReady; }
    TlvsdProcess& Server() { return m_server; }
    ScriptedModalSeam& Seam() { return m_seam; }
    const std::string& DataDir() const { return m_data.path(); }
    // The registry file whose administration table names the server.
    const std::string& RegistryFile() const { return m_registry.File(); }
    // A folder for files the test reads and writes.
    const std::string& Files() const { return m_files.path(); }

    // A document opened on the server, as the framework opens one (path name = entry name).
    std::unique_ptr<CAdminDoc> OpenDocument();

    // Definitions added straight through the session of a document.
    static bool AddDllService(CAdminDoc& doc, const char* name, CTsymbol startType = SVC_Optional,
                              CTbool disabled = 0);
    static bool AddProfile(CAdminDoc& doc, const char* name, const char* profileClass);
    // The text the document gives a service row's tooltip, "" when it gives none: asked for, and
    // its answer taken while a call queued behind it on the session's thread is waited for.
    static QString StatusTextOf(CAdminDoc& doc, const QString& name);

private:
    TempRegistry m_registry;
    TempDir m_data;
    TempDir m_files;
    TlvsdProcess m_server;
    ScriptedModalSeam m_seam;
    bool m_bReady = false;
};

// Records the hints a document sends and its title changes.
class HintRecorder final : public CView {
public:
    void OnUpdate(CView*, long lHint, CObject*) override { hints.push_back(lHint); }
    std::vector<long> hints;
};

// Waits (handling the application's events, at most 15 s) until the document's tick has been
// answered and applied; false when it was not.
bool AwaitTickAnswers(CAdminDoc& doc);
// One periodic tick of the document, its answers applied before this returns.
bool RunTick(CAdminDoc& doc);

// The cells of every row of a chain, one string per row with cells joined by '|'.
std::vector<std::string> Rows(const CViewLine* chain);

}  // namespace tlv::test
