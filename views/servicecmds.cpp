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
    RunListCommand([this](CAdminDoc& document) {
        if (!ConfirmWith(IDD_REMOVE_SERVICES, this))
            return false;
        for (const SelectedRow& row : SelectedRows(m_pLines.get(), m_listCtrl)) {
            if (document.DeleteService(row.first))
                continue;
            // Each refusal is told at once, in the words that fit the remove command.
            switch (document.LastError()) {
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
        return true;
    });
}

void CAdminView::OnServiceStart() {
    // Asked before the rebuilds stop, and only with a document to act on.
    if (GetDocument() == nullptr || !ConfirmWith(IDD_START_SERVICE, this))
        return;
    RunListCommand([this](CAdminDoc& document) {
        WalkAndReport(
            [&document](const SelectedRow& row) { return document.StartService(row.first); },
            IDS_SERVICES_NOT_STARTED);
        return true;
    });
}

void CAdminView::OnServiceStop() {
    RunListCommand([this](CAdminDoc& document) {
        const int answer = CStopBox(this).DoModal();
        if (answer != IDOK && answer != IDC_EMERGENCY)
            return false;
        const int bEmergency = answer == IDC_EMERGENCY ? 1 : 0;
        WalkAndReport(
            [&document, bEmergency](const SelectedRow& row) {
                return document.StopService(row.first, bEmergency);
            },
            IDS_SERVICES_NOT_STOPPED);
        return true;
    });
}
