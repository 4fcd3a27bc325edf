#include "views/newcmds.h"

#include <QByteArray>
#include <QDialog>

#include "config/ui/newprof.h"
#include "framework/bytetext.h"
#include "framework/modalseam.h"
#include "framework/widgets/errorbox.h"
#include "resources/stringtable.h"
#include "s100/kvs/ownedset.h"
#include "s100/s100.h"
#include "services/ui/editdlls.h"
#include "services/ui/editexes.h"
#include "services/ui/selectse.h"
#include "services/ui/svclocal.h"
#include "session/admindoc.h"

namespace {

std::string Text(unsigned stringId) {
    return StringTable::Load(stringId).toStdString();
}

// Runs a new service's edit dialog with the placeholder name and path; the service name after
// OK, nothing after Cancel.
template <typename Dialog>
bool EditNewService(CTkvs set, QWidget* parent, int bLocal,
                    void (Dialog::*setPath)(const std::string&), unsigned pathId,
                    std::string& name) {
    Dialog dialog(set, parent, bLocal);
    dialog.SetServiceName(Text(IDS_UNTITLED));
    (dialog.*setPath)(Text(pathId));
    if (Modal().RunDialog(dialog) != IDOK)
        return false;
    name = dialog.ServiceName();
    return true;
}

}  // namespace

int RunNewProfileCommand(CAdminDoc& document, QWidget* parent) {
    CNewProfileBox box(parent);
    box.SetClass(Text(IDS_APPLICATION_CLASS));
    if (Modal().RunDialog(box) != IDOK)
        return 0;
    if (!document.NewProfile(ByteStringOfBytes(box.Class()))) {
        CErrorBox(document.LastError(), parent).DoModal();
        return 0;
    }
    return 1;
}

int RunNewServiceCommand(CAdminDoc& document, QWidget* parent) {
    const s100::OwnedSet set;  // the empty set the dialog fills
    if (!set.IsValid()) {
        CErrorBox(IDS_KVSET_CREATE_FAILED, parent).DoModal();
        return 0;
    }
    const QByteArray entry = document.GetServerName().toLatin1();
    const int bLocal = IsServerLocal(entry.constData());
    CSelectService select(parent);
    select.SetSelection(CSelectService::kExecutable);
    if (Modal().RunDialog(select) != IDOK)
        return 0;
    std::string name;
    const bool bEdited =
        select.Selection() == CSelectService::kDLL
            ? EditNewService(set.Handle(), parent, bLocal, &CEditDLLService::SetDLLPath,
                             IDS_DLL_PATTERN, name)
            : EditNewService(set.Handle(), parent, bLocal, &CEditEXEService::SetCommandLine,
                             IDS_EXE_PATTERN, name);
    if (!bEdited)
        return 0;
    if (!document.NewService(ByteStringOfBytes(name), set.Handle())) {
        // A wait given up on has been told of already.
        if (!document.WasWaitCancelled())
            CErrorBox(document.LastError(), parent).DoModal();
        return 0;
    }
    return 1;
}
