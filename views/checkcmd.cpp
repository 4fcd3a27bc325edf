// The list view's command that checks all profiles of the server and shows the findings in the
// modeless report box, which is used again while it is open. The run is the session's: it
// runs on the session's thread while the window waits, counting the application profiles it
// has checked against those the profile list holds.

#include <atomic>
#include <new>

#include "framework/comn/comnmfc.h"
#include "framework/waitcursor.h"
#include "framework/widgets/errorbox.h"
#include "resources/stringids.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "views/adminvw.h"
#include "views/checkreport.h"

namespace {

// The application profiles of the document's profile list: what a run will check, as far as
// the list is current.
std::size_t ApplicationProfileCount(CAdminDoc& document) {
    const QString applicationClass = StringTable::Load(IDS_APPLICATION_CLASS);
    std::size_t count = 0;
    const std::unique_ptr<CViewLine> profiles = document.GetProfiles();
    for (const CViewLine* line = profiles.get(); line != nullptr; line = line->Next()) {
        if (line->GetItem(1) == applicationClass)
            ++count;
    }
    return count;
}

}  // namespace

void CAdminView::OnProfileCheckallprofiles() {
    CAdminDoc* document = GetDocument();
    if (document == nullptr || document->IsDisconnected())
        return;
    if (m_bCheckBoxClosed != 0) {
        auto* box = new (std::nothrow) CCheckProfileBox(&m_bCheckBoxClosed, this);
        if (box == nullptr) {
            CErrorBox(IDS_MEMORY_ALLOCATION_FAILED, this).DoModal();
            return;
        }
        m_pCheckBox.reset(box);
    }
    m_pCheckBox->SetWindowText(StringTable::Text(IDS_CHECKING_PROFILES_NOW));
    m_pCheckBox->UpdateWindow();
    const CWaitCursor wait;
    const std::size_t listed = ApplicationProfileCount(*document);
    auto checked = std::make_shared<std::atomic<std::size_t>>(0);
    std::unique_ptr<CheckFindings> report;
    document->RunOnSession(
        [&report, checked, document](ECTF_AdminSession& session) {
            report = RunCheckReport(session, [checked, document](std::size_t count) {
                checked->store(count);
                document->NoteSessionAlive();
            });
        },
        [checked, listed] {
            const std::size_t done = checked->load();
            // Profiles added since the list was read make the run longer than the list.
            return StringTable::Load(IDS_CHECK_PROGRESS)
                .arg(done)
                .arg(std::max(done, listed));
        });
    if (report)
        m_pCheckBox->Display(*report);
}
