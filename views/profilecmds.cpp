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
    RunListCommand([this](CAdminDoc& document) {
        const int failures = CountFailures(SelectedRows(m_pLines.get(), m_listCtrl),
                                           [&document](const SelectedRow& row) {
                                               return document.EditProfile(row.first, row.second);
                                           });
        // One box for the walk, naming why the last editor could not be started.
        if (failures > 0)
            ShowLastError();
        return false;
    });
}

void CAdminView::OnProfileRemove() {
    RunListCommand([this](CAdminDoc& document) {
        if (!ConfirmWith(IDD_REMOVE_PROFILES, this))
            return false;
        WalkAndReport(
            [&document](const SelectedRow& row) {
                return document.DeleteProfile(row.first, row.second);
            },
            IDS_PROFILES_NOT_REMOVED);
        return true;
    });
}
