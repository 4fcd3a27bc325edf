// The list view's command table: which handler runs each command and when it is enabled, and
// the commands that change no server data.

#include "framework/widgets/errorbox.h"
#include "resources/commandids.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "views/adminvw.h"
#include "views/rowwalk.h"

void CAdminView::RegisterCommands() {
    const auto on = [this](unsigned id, void (CAdminView::*handler)(), Rule enabled) {
        Handler run = [this, handler] { (this->*handler)(); };
        OnCommand(id, std::move(run), std::move(enabled));
    };
    const auto selectionIn = [this](ViewType type) {
        return [this, type] { return HasSelectionIn(type); };
    };
    on(ID_VIEW_REFRESH, &CAdminView::OnViewRefresh, {});
    on(ID_VIEW_SELECTALL, &CAdminView::OnViewSelectall, [this] { return IsConnected(); });
    on(ID_VIEW_REMOVE, &CAdminView::OnViewRemove,
       [this] { return HasSelectionIn(VT_Profiles) || HasSelectionIn(VT_Services); });
    on(ID_PROFILE_NEW, &CAdminView::OnProfileNew, [this] { return IsConnected(); });
    on(ID_PROFILE_EDIT, &CAdminView::OnProfileEdit, selectionIn(VT_Profiles));
    on(ID_PROFILE_REMOVE, &CAdminView::OnProfileRemove, selectionIn(VT_Profiles));
    on(ID_PROFILE_IMPORT, &CAdminView::OnProfileImport, [this] { return IsConnected(); });
    on(ID_PROFILE_EXPORT, &CAdminView::OnProfileExport, selectionIn(VT_Profiles));
    on(ID_SERVICE_NEW, &CAdminView::OnServiceNew, [this] { return IsConnected(); });
    on(ID_SERVICE_EDIT, &CAdminView::OnServiceEdit, [this] { return OnUpdateServiceEdit(); });
    on(ID_SERVICE_REMOVE, &CAdminView::OnServiceRemove, selectionIn(VT_Services));
    on(ID_SERVICE_START, &CAdminView::OnServiceStart, [this] { return OnUpdateServiceStart(); });
    on(ID_SERVICE_STOP, &CAdminView::OnServiceStop, [this] { return OnUpdateServiceStop(); });
    on(ID_PROFILE_CHECKALLPROFILES, &CAdminView::OnProfileCheckallprofiles,
       [this] { return IsConnected(); });
    m_listCtrl.SetActivateHandler([this] { OnDoubleClick(); });
}

bool CAdminView::IsConnected() const {
    const CAdminDoc* document = GetDocument();
    return document != nullptr && document->IsDisconnected() == 0;
}

bool CAdminView::HasSelectionIn(ViewType type) const {
    return m_viewType == type && m_bNonePresent == 0 && m_listCtrl.GetSelectedCount() >= 1;
}

bool CAdminView::LastSelectedStateIs(std::initializer_list<unsigned> stateIds) const {
    if (!HasSelectionIn(VT_Services))
        return false;
    const std::vector<SelectedRow> rows = SelectedRows(m_pLines.get(), m_listCtrl);
    if (rows.empty())
        return false;
    for (const unsigned id : stateIds) {
        if (rows.back().second == StringTable::Load(id))
            return true;
    }
    return false;
}

bool CAdminView::OnUpdateServiceEdit() const {
    return HasSelectionIn(VT_Services) && m_listCtrl.GetSelectedCount() == 1;
}

bool CAdminView::OnUpdateServiceStart() const {
    return LastSelectedStateIs({IDS_STATE_IDLE, IDS_STATE_IDLE_FAILED});
}

bool CAdminView::OnUpdateServiceStop() const {
    return LastSelectedStateIs(
        {IDS_STATE_STARTING, IDS_STATE_WAITING, IDS_STATE_RUNNING, IDS_STATE_STOPPING});
}

bool CAdminView::WaitWasCancelled() const {
    const CAdminDoc* document = GetDocument();
    return document != nullptr && document->WasWaitCancelled() != 0;
}

void CAdminView::ShowLastError() {
    // Once the operator gave up on the server, what failed after is no news: they were told.
    const CAdminDoc* document = GetDocument();
    if (document != nullptr && !WaitWasCancelled())
        CErrorBox(document->LastError(), this).DoModal();
}

void CAdminView::RunListCommand(const std::function<bool(CAdminDoc&)>& command) {
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return;
    UpdatesSuspended suspended(*this);
    if (!command(*document))
        return;
    suspended.Resume();
    OnViewRefresh();
}

void CAdminView::WalkAndReport(const std::function<int(const SelectedRow&)>& operation,
                               unsigned failureMessage) {
    if (CountFailures(SelectedRows(m_pLines.get(), m_listCtrl), operation) > 0 &&
        !WaitWasCancelled())
        CErrorBox(failureMessage, this).DoModal();
}

void CAdminView::OnViewRefresh() {
    LoadView(m_viewType, 1);
}

void CAdminView::OnViewSelectall() {
    std::vector<int> rows;
    int row = 0;
    for (const CViewLine* line = m_pLines.get(); line != nullptr; line = line->Next())
        rows.push_back(row++);
    m_listCtrl.SelectItems(rows);
}

void CAdminView::OnViewRemove() {
    if (m_viewType == VT_Profiles) {
        OnProfileRemove();
    } else if (m_viewType == VT_Services) {
        OnServiceRemove();
    }
}

void CAdminView::OnDoubleClick() {
    UpdatesSuspended suspended(*this);
    const std::vector<SelectedRow> rows = SelectedRows(m_pLines.get(), m_listCtrl);
    if (rows.empty())
        return;
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return;
    if (m_viewType == VT_Profiles) {
        if (!document->EditProfile(rows.front().first, rows.front().second))
            ShowLastError();
    } else if (m_viewType == VT_Services) {
        OnServiceEdit();
    }
}
