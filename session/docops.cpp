// The document's operations on the server.

#include <QFile>

#include "framework/modalseam.h"
#include "resources/stringtable.h"
#include "s100/kvs/ownedset.h"
#include "session/admindoc.h"
#include "session/errormessage.h"
#include "session/leveldialog.h"
#include "session/opmessages.h"
#include "session/textconv.h"

int CAdminDoc::Outcome(long ok, unsigned (*messageFor)(CTerror)) {
    if (ok)
        return 1;
    m_nLastMessage = messageFor(SessionError());
    return 0;
}

int CAdminDoc::DeleteProfile(const CString& name, const CString& profileClass) {
    const long ok =
        AwaitCall([n = ToServerText(name), c = ToServerText(profileClass)](
                      ECTF_AdminSession& session) { return session.RemoveProfile(n, c); });
    return Outcome(ok, DeleteProfileMessage);
}

int CAdminDoc::NewService(const CString& name, CTkvs definition) {
    const long ok = AwaitCall([n = ToServerText(name), definition](ECTF_AdminSession& session) {
        return session.AddService(n, definition);
    });
    return Outcome(ok, NewServiceMessage);
}

int CAdminDoc::UpdateService(const CString& name, CTkvs definition) {
    const long ok = AwaitCall([n = ToServerText(name), definition](ECTF_AdminSession& session) {
        return session.UpdateService(n, definition);
    });
    return Outcome(ok, UpdateServiceMessage);
}

int CAdminDoc::DeleteService(const CString& name) {
    const long ok = AwaitCall(
        [n = ToServerText(name)](ECTF_AdminSession& session) { return session.RemoveService(n); });
    return Outcome(ok, DeleteServiceMessage);
}

int CAdminDoc::StartService(const CString& name) {
    const long ok = AwaitCall(
        [n = ToServerText(name)](ECTF_AdminSession& session) { return session.StartService(n); });
    return Outcome(ok, StartServiceMessage);
}

int CAdminDoc::StopService(const CString& name, int bEmergency) {
    const unsigned long mode = ChangeModeOf(bEmergency);
    const long ok = AwaitCall([n = ToServerText(name), mode](ECTF_AdminSession& session) {
        return session.StopService(n, mode);
    });
    return Outcome(ok, StopServiceMessage);
}

int CAdminDoc::GetServiceProfile(const CString& name, CTkvs result) {
    return GetProfileContents(name, StringTable::Load(IDS_TLVS_SERVICE_CLASS), result);
}

int CAdminDoc::GetProfileContents(const CString& name, const CString& profileClass, CTkvs result) {
    s100::OwnedSet answer;
    if (!answer.IsValid()) {
        m_nLastMessage = IDS_KVSET_OPERATION_FAILED;
        return 0;
    }
    const long ok =
        AwaitCall([n = ToServerText(name), c = ToServerText(profileClass), set = answer.Handle()](
                      ECTF_AdminSession& session) { return session.GetProfileInfo(n, c, 1, set); });
    if (!ok) {
        m_nLastMessage = IDS_PROFILE_INFO_FAILED;
        return 0;
    }
    const CTkvs* contents = nullptr;
    uint32_t count = 0;
    if (CTkvs_GetKVSetArray(answer.Handle(), KEY_ProfileContents, &contents, &count, nullptr) !=
            CT_SUCCESS ||
        count != 1 || CTkvs_Copy(result, contents[0], nullptr) != CT_SUCCESS) {
        m_nLastMessage = IDS_PROFILE_INFO_FAILED;
        return 0;
    }
    m_nLastMessage = IDS_NO_ERROR;
    return 1;
}

namespace {

// File names are the file system's bytes, not the server's one-byte-a-character texts.
SC_String ToFileName(const CString& fileName) {
    return SC_String(QFile::encodeName(fileName).constData());
}

}  // namespace

int CAdminDoc::TransferProfile(ProfileFileCall call, unsigned (*messageFor)(CTerror),
                               const CString& fileName, const CString& name,
                               const CString& profileClass) {
    m_nLastMessage = IDS_NO_ERROR;
    const long ok = AwaitCall([call, f = ToFileName(fileName), n = ToServerText(name),
                               c = ToServerText(profileClass)](ECTF_AdminSession& session) {
        return (session.*call)(f, n, c);
    });
    return Outcome(ok, messageFor);
}

int CAdminDoc::ImportProfile(const CString& fileName, const CString& name,
                             const CString& profileClass) {
    return TransferProfile(&ECTF_AdminSession::ImportProfile, ImportProfileMessage, fileName, name,
                           profileClass);
}

int CAdminDoc::ExportProfile(const CString& fileName, const CString& name,
                             const CString& profileClass) {
    return TransferProfile(&ECTF_AdminSession::ExportProfile, ExportProfileMessage, fileName, name,
                           profileClass);
}

int CAdminDoc::ChangeServerLevel(long level, unsigned long mode) {
    const long ok = AwaitCall([level, mode](ECTF_AdminSession& session) {
        return session.ChangeServerLevel(level, mode);
    });
    return Outcome(ok, ChangeServerLevelMessage);
}

void CAdminDoc::OnServerChangeserverlevel() {
    m_bRefreshAllowed = 0;
    LevelDialogFields fields;
    fields.nCurrentLevel = GetServerLevel();
    fields.nLevel = fields.nCurrentLevel - 1;
    fields.bEmergency = 0;
    if (RunLevelDialog(fields) == IDOK) {
        if (ChangeServerLevel(fields.nLevel + 1, ChangeModeOf(fields.bEmergency))) {
            RefreshLevelInfo(1);
            UpdateAllViews(nullptr, HINT_LEVEL);
        } else if (!m_bWaitCancelled) {  // given up on: the operator has been told
            ShowErrorMessage(LastError());
        }
    }
    m_bRefreshAllowed = 1;
}
