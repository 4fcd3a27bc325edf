#pragma once
// The MDI main frame: the MDI area with the child frames, the menu bar that follows the active
// child's template, the command router over the active route, window timers, and the
// framework's own commands (close, exit, toolbar and status bar toggles, window arrangement,
// new window).

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <vector>

#include "framework/mdi/cmdrouter.h"
#include "framework/mdi/cmdtarget.h"

// The status bar's text while no prompt is shown.
inline constexpr const char* kIdleMessage = "Ready";

class CDocument;
class CMDIChildWnd;
class CWinApp;
class CWndView;
class CommandUI;
class QMdiArea;
class QMdiSubWindow;
class QTimer;

class CMDIFrameWnd : public QMainWindow, public CCmdTarget {
public:
    explicit CMDIFrameWnd(CWinApp& app);
    ~CMDIFrameWnd() override;

    // Takes the caption from the string table under the resource id and runs OnCreate; false
    // when that refused, and the frame is then unusable.
    bool LoadFrame(unsigned resourceId);
    unsigned GetResourceId() const { return m_nResourceId; }

    // Window creation: builds bars and starts timers; 0 on success, -1 to abort.
    virtual int OnCreate();
    // A window timer fired; the default does nothing.
    virtual void OnTimer(unsigned id);
    // The frame is being closed for good; stops nothing by itself.
    virtual void OnDestroy();

    // Starts (or restarts) a repeating timer; returns the id, 0 on failure.
    unsigned SetTimer(unsigned id, int intervalMs);
    bool KillTimer(unsigned id);

    // The active child frame that is not going away, or null.
    CMDIChildWnd* MDIGetActive() const;
    CWndView* GetActiveView() const;
    CDocument* GetActiveDocument() const;
    std::vector<CMDIChildWnd*> GetChildFrames() const;
    // Places a new frame in the MDI area, sized and moved to lie fully inside it.
    void AddChildFrame(CMDIChildWnd* frame);
    QMdiArea& MdiArea() const { return *m_pMdiArea; }

    const CommandRouter& router() const { return m_router; }
    CommandUI& GetCommandUI() const { return *m_pCommandUI; }
    // The menu resource shown now.
    unsigned GetShownMenu() const { return m_nShownMenu; }
    // Refreshes the enabled states of menus and toolbar buttons.
    void UpdateCommandStates();

protected:
    CWinApp& GetApp() const { return m_app; }
    void closeEvent(QCloseEvent* event) override;

private:
    void RegisterFrameworkCommands();
    std::vector<const CCmdTarget*> ActiveRoute() const;
    void OnChildActivated(QMdiSubWindow* window);
    void KeepInsideArea(CMDIChildWnd& frame) const;
    void ShowMenu(unsigned resourceId);
    void OnUpdateFrameTitle();
    void OnWindowNew();
    void ArrangeIconicWindows();

    CWinApp& m_app;
    QMdiArea* m_pMdiArea;
    CommandRouter m_router;
    CommandUI* m_pCommandUI;
    unsigned m_nResourceId = 0;
    unsigned m_nShownMenu = 0;
    QString m_strTitle;
    std::map<unsigned, QTimer*> m_timers;
    QPointer<CWndView> m_pActiveView;
    bool m_bDestroyed = false;
};
