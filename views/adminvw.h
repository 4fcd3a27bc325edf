#pragma once
// CAdminView: the list view of one server document. It shows the profiles, the Telvane
// Services or the service providers in a CMyListCtrl that fills the view, keeps its own copy of
// the rows shown (row i of the control is line i of m_pLines), and rebuilds them when the
// document sends the hint of the list it shows.

#include <memory>

#include "framework/mdi/wndview.h"
#include "session/viewline.h"
#include "views/mylistct.h"
#include "views/viewtype.h"

class CAdminDoc;
class CCheckProfileBox;

inline constexpr int IDC_LISTCTRL = 49215;

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

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct RememberedSelection;
    RememberedSelection RememberSelection() const;
    void RestoreSelection(const RememberedSelection& remembered);
    std::unique_ptr<CViewLine> FreshLines() const;

    ViewType m_viewType = VT_None;
    ViewType m_prevViewType = VT_None;
    std::unique_ptr<CViewLine> m_pLines;
    CMyListCtrl m_listCtrl;
    int m_bUpdatesEnabled = 1;
    int m_bNonePresent = 1;
    std::unique_ptr<CCheckProfileBox> m_pCheckBox;
    int m_bCheckBoxClosed = 1;
};
