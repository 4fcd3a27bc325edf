// The service commands of the list view that act on the selected services as they are:
// remove, start and stop.

#include "framework/modalseam.h"
#include "framework/widgets/errorbox.h"
#include "resources/resourceids.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "views/adminvw.h"
#include "views/cmdbox.h"
#include "views/rowwalk.h"
#include "views/stopbox.h"

void CAdminView::OnServiceRemove() {
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return;
    UpdatesSuspended suspended(*this);
    if (!ConfirmWith(IDD_REMOVE_SERVICES, this))
        return;
    for (const SelectedRow& row : SelectedRows(m_pLines.get(), m_listCtrl)) {
        if (document->DeleteService(row.first))
            continue;
        // Each refusal is told at once, in the words that fit the remove command.
        switch (document->LastError()) {
            case IDS_SERVICE_MARKED_FOR_REMOVAL:
                CCommandBox(IDD_RESTART_WARNING, this).DoModal();
                break;
            case IDS_EXPORT_RETRIEVE_FAILED:  // a service the server does not know
                CErrorBox(IDS_REMOVE_MARKED_SERVICE, this).DoModal();
                break;
            default:
                ShowLastError();
                break;
        }
    }
    suspended.Resume();
    OnViewRefresh();
}

void CAdminView::OnServiceStart() {
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return;
    if (!ConfirmWith(IDD_START_SERVICE, this))
        return;
    UpdatesSuspended suspended(*this);
    WalkReportAndRefresh(
        suspended, [document](const SelectedRow& row) { return document->StartService(row.first); },
        IDS_SERVICES_NOT_STARTED);
}

void CAdminView::OnServiceStop() {
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return;
    UpdatesSuspended suspended(*this);
    const int answer = CStopBox(this).DoModal();
    if (answer != IDOK && answer != IDC_EMERGENCY)
        return;
    const int bEmergency = answer == IDC_EMERGENCY ? 1 : 0;
    WalkReportAndRefresh(
        suspended,
        [document, bEmergency](const SelectedRow& row) {
            return document->StopService(row.first, bEmergency);
        },
        IDS_SERVICES_NOT_STOPPED);
}
