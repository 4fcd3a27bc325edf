// Profile import and export of the list view: a file chosen and its first two words proposed as
// the new profile's name and class; one export dialog for each selected profile.

#include <QFile>
#include <QFileInfo>
#include <optional>

#include "framework/bytetext.h"
#include "framework/modalseam.h"
#include "framework/widgets/errorbox.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "transfer/profiledir.h"
#include "transfer/profilewords.h"
#include "transfer/transferrules.h"
#include "transfer/ui/exportpr.h"
#include "transfer/ui/importpr.h"
#include "transfer/ui/profilefiledlg.h"
#include "views/adminvw.h"
#include "views/rowwalk.h"

namespace {

// The name and class the file proposes; empty when it cannot be read. Only a regular file is
// opened: reading a pipe or a device could block or never end.
std::optional<ProfileWords> ProposalsFrom(const QString& path) {
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ReadProfileWords(file);
}

}  // namespace

void CAdminView::OnProfileImport() {
    RunListCommand([this](CAdminDoc& document) {
        const std::optional<QString> path =
            ChooseProfileFileToRead(this, ApplicationProfileDirectory());
        if (!path)
            return false;
        CImportProf dialog(this);
        dialog.SetFilename(*path);
        const std::optional<ProfileWords> proposals = ProposalsFrom(*path);
        if (!proposals) {
            CErrorBox(IDS_IMPORT_FILE_OPEN_FAILED, this).DoModal();
            return false;
        }
        dialog.SetName(ByteStringOfBytes(proposals->name));
        dialog.SetClass(ByteStringOfBytes(proposals->profileClass));
        if (Modal().RunDialog(dialog) == IDOK &&
            !document.ImportProfile(*path, dialog.Name(), dialog.Class())) {
            ShowLastError();
        }
        return m_viewType == VT_Profiles;
    });
}

void CAdminView::OnProfileExport() {
    RunListCommand([this](CAdminDoc& document) {
        for (const SelectedRow& row : SelectedRows(m_pLines.get(), m_listCtrl)) {
            CExportProf dialog(this);
            dialog.SetName(row.first);
            dialog.SetClass(row.second);
            dialog.SetFilename(ProposedExportFileName(row.first));
            if (Modal().RunDialog(dialog) != IDOK)
                continue;
            if (!document.ExportProfile(dialog.FilePath(), row.first, row.second))
                ShowLastError();
        }
        return false;
    });
}
