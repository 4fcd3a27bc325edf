#pragma once
// CMainFrame: the one top-level window. It owns the toolbar, the status bar and the two-second
// refresh timer, which refreshes the document of the active server window, and it brings a
// server's lists to the front with the View commands.

#include "framework/mdi/mdiframe.h"
#include "framework/mdi/wndview.h"
#include "views/viewtype.h"

class CAdminApp;
class CMultiDocTemplate;
class QStatusBar;
class QToolBar;

class CMainFrame final : public CMDIFrameWnd {
public:
    explicit CMainFrame(CAdminApp& app);

    int OnCreate() override;
    // The refresh timer's tick; tests call it directly.
    void OnTimer(unsigned id) override;
    void OnDestroy() override;

    // The document's first view of the class, brought to the front, or a new frame of the
    // template for the active document; null when there is no active window or no frame.
    CView* CreateOrActivateFrame(CMultiDocTemplate* docTemplate, ViewClass viewClass);

    void OnViewProfiles();
    void OnViewReplaceableservices();
    void OnViewServiceproviders();
    // The document's status window brought to the front, or a new one: one per document.
    void OnViewServerstatus();

    // The status bar names a server that has not answered for a while, and since when.
    void ShowSilentServer();

    unsigned GetTimerId() const { return m_nTimer; }
    int IsInTimer() const { return m_bInTimer; }
    QToolBar* GetToolBar() const { return m_wndToolBar; }

private:
    bool CreateToolBar();
    void CreateStatusBar();
    void ShowList(ViewType type);
    static void ActivateFrameOf(CView& view);

    QStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    unsigned m_nTimer = 0;
    int m_bInTimer = 0;
    CAdminApp& m_adminApp;
    QString m_strSilenceShown;  // the status bar text ShowSilentServer put up, until taken down
};
