// The profile commands of the list view: a new profile, and edit and remove the selected ones.

#include "framework/widgets/errorbox.h"
#include "resources/resourceids.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "views/adminvw.h"
#include "views/cmdbox.h"
#include "views/newcmds.h"
#include "views/rowwalk.h"

void CAdminView::OnProfileNew() {
    // No refresh: the profile is there once its editor has stored it.
    if (CAdminDoc* document = GetDocument())
        RunNewProfileCommand(*document, this);
}

void CAdminView::OnProfileEdit() {
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return;
    UpdatesSuspended suspended(*this);
    const int failures =
        CountFailures(SelectedRows(m_pLines.get(), m_listCtrl), [document](const SelectedRow& row) {
            return document->EditProfile(row.first, row.second);
        });
    // One box for the walk, naming why the last editor could not be started.
    if (failures > 0)
        ShowLastError();
}

void CAdminView::OnProfileRemove() {
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return;
    UpdatesSuspended suspended(*this);
    if (!ConfirmWith(IDD_REMOVE_PROFILES, this))
        return;
    WalkReportAndRefresh(
        suspended,
        [document](const SelectedRow& row) {
            return document->DeleteProfile(row.first, row.second);
        },
        IDS_PROFILES_NOT_REMOVED);
}
