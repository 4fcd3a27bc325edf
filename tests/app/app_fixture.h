#pragma once
// The application against a real tlvsd (demo data) with a temporary registry naming it.

#include <memory>
#include <string>
#include <vector>

#include "app/mainfrm.h"
#include "app/tlvadmin.h"
#include "tests/session/server_fixture.h"

class CAdminDoc;
class CAdminView;

namespace tlv::test {

class AppFixture {
public:
    // The server runs the demo data with the extra arguments (fault options, for example).
    explicit AppFixture(const std::vector<std::string>& extraServerArgs = {});
    ~AppFixture();

    CAdminApp& App() { return *m_pApp; }
    CMainFrame& Frame();
    ScriptedModalSeam& Seam() { return m_server.Seam(); }
    ServerFixture& Server() { return m_server; }
    bool IsReady() const { return m_bReady; }

    // Ends the application and starts it again on the same server and registry.
    bool Restart();

    // Connects to the test server's entry; the new document or null.
    CAdminDoc* Connect();
    CAdminView* ActiveListView();
    std::size_t FrameCount();
    // Deferred deletes of closed frames are run.
    static void ProcessDeletes();
    // One tick of the refresh timer, its answers applied before this returns.
    void Tick();

private:
    ServerFixture m_server;
    std::unique_ptr<CAdminApp> m_pApp;
    bool m_bReady = false;
};

// The texts of a menu bar: "Popup: item|item|-|item" per popup.
std::vector<std::string> MenuTexts(CMainFrame& frame);
// The cells of column 0 of the view's rows.
std::vector<std::string> Names(CAdminView& view);

}  // namespace tlv::test
