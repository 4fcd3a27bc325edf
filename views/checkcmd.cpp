// The list view's command that checks all profiles of the server and shows the findings in the
// modeless report box, which is used again while it is open.

#include <new>

#include "app/comnmfc.h"
#include "app/errorbox.h"
#include "framework/waitcursor.h"
#include "resources/stringids.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "views/adminvw.h"
#include "views/checkreport.h"

void CAdminView::OnProfileCheckallprofiles() {
    const CAdminDoc* document = GetDocument();
    ECTF_AdminSession* session = document != nullptr ? document->GetSession() : nullptr;
    if (session == nullptr)
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
    m_pCheckBox->Display(*RunCheckReport(*session));
}
