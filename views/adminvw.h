#pragma once
// CAdminView: the list view of one server document. It shows the profiles, the Telvane
// Services or the service providers in a CMyListCtrl that fills the view, keeps its own copy of
// the rows shown (row i of the control is line i of m_pLines), and rebuilds them when the
// document sends the hint of the list it shows.

#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>

#include "framework/mdi/wndview.h"
#include "s100/s100.h"
#include "session/viewline.h"
#include "views/mylistct.h"
#include "views/viewtype.h"

class CAdminDoc;
class CCheckProfileBox;
class UpdatesSuspended;
struct SelectedRow;

class CAdminView : public CWndView {
public:
    CAdminView();
    ~CAdminView() override;

    // Refreshes the list of the type from the server (with the wait cursor when forced) and
    // shows it; 0 and nothing done for a type that is not a list.
    int LoadView(ViewType type, int bForce);

    void SetupListColumns();
    // Replaces m_pLines by a copy of the chain (or the "None Present" row for null) and
    // refills the rows.
    void SetupListData(const CViewLine* lines);
    void InitColumn(int index, const QString& heading, int width);

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, long lHint, CObject* pHint) override;
    void OnActivateView(bool activate) override;

    void OnProfileCheckallprofiles();

    CAdminDoc* GetDocument() const;
    ViewType GetViewType() const { return m_viewType; }
    const CViewLine* GetLines() const { return m_pLines.get(); }
    int IsNonePresent() const { return m_bNonePresent; }
    // A command that walks the rows turns rebuilds off for its whole run.
    void SetUpdatesEnabled(int bEnabled) { m_bUpdatesEnabled = bEnabled; }
    int AreUpdatesEnabled() const { return m_bUpdatesEnabled; }
    CMyListCtrl& GetListCtrl() { return m_listCtrl; }

    // The list's commands; each walk goes on after a row that failed and refreshes the list
    // from the server at the end where the command changes it.
    void OnViewRefresh();
    void OnViewSelectall();
    void OnViewRemove();
    void OnProfileNew();
    void OnProfileEdit();
    void OnProfileRemove();
    // Import: a file chosen, a profile made from it under the name and class the operator
    // confirms. Export: one dialog for each selected profile, in list order.
    void OnProfileImport();
    void OnProfileExport();
    void OnServiceNew();
    void OnServiceEdit();
    void OnServiceRemove();
    void OnServiceStart();
    void OnServiceStop();
    // A double click or Enter in the list: edits the first selected profile, or every selected
    // service.
    void OnDoubleClick();

    // Enable rules that are more than "connected" or "some rows of this list selected".
    bool OnUpdateServiceEdit() const;
    bool OnUpdateServiceStart() const;
    bool OnUpdateServiceStop() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void RegisterCommands();
    bool IsConnected() const;
    // At least one row selected, the rows are real, and the list is of the type.
    bool HasSelectionIn(ViewType type) const;
    // The state text (cell 1) of the selected row with the highest index equals one of the
    // texts of the ids.
    bool LastSelectedStateIs(std::initializer_list<unsigned> stateIds) const;
    // Edits one service: fetch into the set, run its dialog, save it or, when the dialog gave
    // it a new name, add it under that name and remove the old one. Errors are shown at once.
    void EditService(const QString& name, CTkvs set, int bServerIsLocal);
    void SaveService(const QString& name, CTkvs set);
    void RenameService(const QString& oldName, const QString& newName, CTkvs set);
    // The document's last error in an error box, unless the operator cancelled a wait of the
    // document (the session is closed, and they were told the command may have run).
    void ShowLastError();
    bool WaitWasCancelled() const;
    // Runs a list command on the view's document with the view's rebuilds off; nothing
    // without a document. The command returns true when it changed the list: the list is
    // then refreshed from the server once rebuilds are on again.
    void RunListCommand(const std::function<bool(CAdminDoc&)>& command);
    // The operation on each selected row, and one box with the message when any failed.
    void WalkAndReport(const std::function<int(const SelectedRow&)>& operation,
                       unsigned failureMessage);

    struct RememberedSelection;
    RememberedSelection RememberSelection() const;
    void RestoreSelection(const RememberedSelection& remembered);
    std::unique_ptr<CViewLine> FreshLines() const;
    // A running or failed service's status, as the row's tooltip: asked of the server, and
    // shown by ShowStatusToolTip once it answers.
    QString RowToolTip(int row) const;
    void ShowStatusToolTip(const QString& name, const QString& text) const;
    static QString StatusToolTip(const QString& text);

    ViewType m_viewType = VT_None;
    ViewType m_prevViewType = VT_None;
    std::unique_ptr<CViewLine> m_pLines;
    CMyListCtrl m_listCtrl;
    int m_bUpdatesEnabled = 1;
    int m_bNonePresent = 1;
    std::unique_ptr<CCheckProfileBox> m_pCheckBox;
    int m_bCheckBoxClosed = 1;
    mutable QString m_strToolTipAsked;  // the service whose status is on its way
    mutable std::pair<QString, QString> m_toolTipAnswer;  // a service and its status, not yet shown
};
