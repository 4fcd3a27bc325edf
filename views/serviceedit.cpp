// A new service, and the selected services edited in their dialogs: each definition fetched,
// changed by the operator and sent back; a service given a new name replaces the old one.

#include <optional>
#include <string>

#include "framework/bytetext.h"
#include "framework/modalseam.h"
#include "framework/widgets/errorbox.h"
#include "resources/resourceids.h"
#include "resources/stringtable.h"
#include "s100/kvs/ownedset.h"
#include "services/svcdef.h"
#include "services/ui/editdlls.h"
#include "services/ui/editexes.h"
#include "services/ui/svclocal.h"
#include "session/admindoc.h"
#include "views/adminvw.h"
#include "views/cmdbox.h"
#include "views/newcmds.h"
#include "views/rowwalk.h"

namespace {

// Runs the dialog of the kind on the set; the service name it ends with, or nothing after
// Cancel.
template <typename Dialog>
std::optional<std::string> RunServiceDialog(CTkvs set, QWidget* parent, int bServerIsLocal,
                                            const QString& name) {
    Dialog dialog(set, parent, bServerIsLocal);
    dialog.SetServiceName(BytesOfByteString(name));
    if (Modal().RunDialog(dialog) != IDOK)
        return std::nullopt;
    return dialog.ServiceName();
}

int ServerIsLocal(const CAdminDoc& document) {
    return IsServerLocal(document.GetServerName().toLatin1().constData());
}

}  // namespace

void CAdminView::OnServiceNew() {
    RunListCommand(
        [this](CAdminDoc& document) { return RunNewServiceCommand(document, this) != 0; });
}

void CAdminView::OnServiceEdit() {
    RunListCommand([this](CAdminDoc& document) {
        const s100::OwnedSet set;
        if (!set.IsValid()) {
            CErrorBox(IDS_KVSET_CREATE_FAILED, this).DoModal();
            return false;
        }
        const int bServerIsLocal = ServerIsLocal(document);
        // One set for the whole run: each fetch fills it again.
        for (const SelectedRow& row : SelectedRows(m_pLines.get(), m_listCtrl))
            EditService(row.first, set.Handle(), bServerIsLocal);
        return true;
    });
}

void CAdminView::EditService(const QString& name, CTkvs set, int bServerIsLocal) {
    CAdminDoc& document = *GetDocument();
    if (!document.GetServiceProfile(name, set)) {
        if (WaitWasCancelled())
            return;
        if (document.LastError() == IDS_PROFILE_INFO_FAILED) {
            CErrorBox(IDS_SERVICE_EDIT_REMOVED, this).DoModal();
        } else {
            ShowLastError();
        }
        return;
    }
    std::optional<std::string> edited;
    switch (ServiceKindOf(set)) {
        case ServiceKind::Executable:
            edited = RunServiceDialog<CEditEXEService>(set, this, bServerIsLocal, name);
            break;
        case ServiceKind::DLL:
            edited = RunServiceDialog<CEditDLLService>(set, this, bServerIsLocal, name);
            break;
        case ServiceKind::Invalid:
            CErrorBox(IDS_SERVICE_BAD_PROFILE, this).DoModal();
            return;
    }
    if (!edited)
        return;
    const QString newName = ByteStringOfBytes(*edited);
    if (newName == name) {
        SaveService(name, set);
    } else {
        RenameService(name, newName, set);
    }
}

void CAdminView::SaveService(const QString& name, CTkvs set) {
    CAdminDoc& document = *GetDocument();
    if (document.UpdateService(name, set))
        return;
    if (document.LastError() == IDS_SERVICE_CHANGE_ON_RESTART) {
        CCommandBox(IDD_RESTART_WARNING, this).DoModal();
    } else {
        ShowLastError();
    }
}

void CAdminView::RenameService(const QString& oldName, const QString& newName, CTkvs set) {
    // Added, not updated, under the new name: a service that already has that name keeps its
    // definition and the operator is told, instead of losing it to the renamed one.
    CAdminDoc& document = *GetDocument();
    const bool added = document.NewService(newName, set) != 0;
    if (!added)
        ShowLastError();
    // The server keeps a service whose program it cannot find yet, so it replaces the old one.
    if (added || document.LastError() == IDS_SERVICE_EXE_NOT_FOUND)
        document.DeleteService(oldName);  // its outcome changes nothing for the operator
}
