#include "app/mainfrm.h"

#include <QMdiArea>
#include <QPixmap>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/commandtable.h"
#include "app/emptyhint.h"
#include "app/tlvadmin.h"
#include "app/windowplace.h"
#include "framework/mdi/commandui.h"
#include "framework/mdi/doctemplate.h"
#include "framework/mdi/mdichild.h"
#include "platform/process/spawn.h"
#include "resources/commandids.h"
#include "resources/resourceids.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "session/textconv.h"
#include "views/adminvw.h"
#include "views/serverst.h"

namespace {

constexpr int kButtonSide = 32;
constexpr int kImageSide = 24;
// How often the status bar looks for a server that has stopped answering.
constexpr int kSilenceCheckMs = 500;
constexpr int kRefreshIntervalMs = 2000;

}  // namespace

// The bitmaps live in a static library: its resources are registered before use. Outside any
// namespace, as the registration function is declared where it is called.
static QPixmap LoadToolbarBitmap() {
    Q_INIT_RESOURCE(images);
    return QPixmap(QStringLiteral(":/images/toolbar.xpm"));
}

CMainFrame::CMainFrame(CAdminApp& app) : CMDIFrameWnd(app), m_adminApp(app) {
    OnCommand(ID_VIEW_PROFILES, [this] { OnViewProfiles(); });
    OnCommand(ID_VIEW_REPLACEABLESERVICES, [this] { OnViewReplaceableservices(); });
    OnCommand(ID_VIEW_SERVICEPROVIDERS, [this] { OnViewServiceproviders(); });
    OnCommand(ID_VIEW_SERVERSTATUS, [this] { OnViewServerstatus(); });
}

int CMainFrame::OnCreate() {
    if (CMDIFrameWnd::OnCreate() == -1)
        return -1;
    CommandUI& commands = GetCommandUI();
    commands.AddMenuResource(MainFrameMenu());
    commands.AddMenuResource(ListViewMenu());
    commands.AddMenuResource(StatusViewMenu());
    commands.AddAccelerators(AdminCommands());
    if (!CreateToolBar())
        return -1;
    CreateStatusBar();
    new CEmptyAreaHint(MdiArea(), StringTable::Load(IDS_EMPTY_AREA_HINT));
    m_nTimer = SetTimer(ID_REFRESH_TIMER, kRefreshIntervalMs);
    return 0;
}

bool CMainFrame::CreateToolBar() {
    const QPixmap strip = LoadToolbarBitmap();
    if (strip.isNull() || strip.height() != kImageSide)
        return false;
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("toolbar"));
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_wndToolBar->setIconSize(QSize(kImageSide, kImageSide));
    GetCommandUI().FillToolBar(*m_wndToolBar, AdminToolbar(), AdminCommands(), strip);
    for (QAction* action : m_wndToolBar->actions()) {
        if (QWidget* button = m_wndToolBar->widgetForAction(action);
            button != nullptr && !action->isSeparator())
            button->setFixedSize(kButtonSide, kButtonSide);
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    return true;
}

void CMainFrame::CreateStatusBar() {
    m_wndStatusBar = statusBar();
    m_wndStatusBar->setObjectName(QStringLiteral("statusbar"));
    // One pane: the message, "Ready" whenever no prompt is shown.
    connect(m_wndStatusBar, &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty())
            m_wndStatusBar->showMessage(QString::fromLatin1(kIdleMessage));
    });
    m_wndStatusBar->showMessage(QString::fromLatin1(kIdleMessage));
    auto* silenceCheck = new QTimer(this);
    connect(silenceCheck, &QTimer::timeout, this, [this] { ShowSilentServer(); });
    silenceCheck->start(kSilenceCheckMs);
}

void CMainFrame::ShowSilentServer() {
    QString text;
    CMultiDocTemplate* listTemplate = m_adminApp.GetListTemplate();
    for (CDocument* document : listTemplate ? listTemplate->GetDocuments() : std::vector<CDocument*>{}) {
        const auto* adminDoc = dynamic_cast<const CAdminDoc*>(document);
        if (adminDoc != nullptr && adminDoc->IsNotResponding()) {
            text = StringTable::Load(IDS_NOT_ANSWERED_SINCE)
                       .arg(ShownServerText(adminDoc->GetServerName()),
                            adminDoc->NotAnsweredSince().toString(QStringLiteral("HH:mm:ss")));
            break;
        }
    }
    if (text == m_strSilenceShown)
        return;
    // A prompt shown meanwhile is left alone when the server answers again.
    const bool bOursShown = m_wndStatusBar->currentMessage() == m_strSilenceShown;
    m_strSilenceShown = text;
    if (!text.isEmpty())
        m_wndStatusBar->showMessage(text);
    else if (bOursShown)
        m_wndStatusBar->showMessage(QString::fromLatin1(kIdleMessage));
}

void CMainFrame::OnTimer(unsigned id) {
    const CMDIChildWnd* active = MDIGetActive();
    auto* document = active == nullptr ? nullptr : dynamic_cast<CAdminDoc*>(GetActiveDocument());
    if (document != nullptr && id == ID_REFRESH_TIMER && m_bInTimer == 0) {
        // A refresh may show a modal notice, whose loop delivers further ticks.
        m_bInTimer = 1;
        document->PeriodicRefresh();
        m_bInTimer = 0;
    }
    // Profile editors are not waited for; the ones that ended are collected here.
    tlv::platform::CollectFinishedProcesses();
    CMDIFrameWnd::OnTimer(id);
}

void CMainFrame::OnDestroy() {
    // Where the window was is worth keeping, but not worth a message at exit.
    SaveWindowPlacement(*this);
    CMDIFrameWnd::OnDestroy();
    if (m_nTimer != 0) {
        KillTimer(m_nTimer);
        m_nTimer = 0;
    }
}

void CMainFrame::ActivateFrameOf(CView& view) {
    auto* wndView = dynamic_cast<CWndView*>(&view);
    CMDIChildWnd* frame = wndView == nullptr ? nullptr : wndView->GetParentFrame();
    if (frame == nullptr)
        return;
    if (frame->isMinimized())
        frame->showNormal();
    if (QMdiArea* area = frame->mdiArea())
        area->setActiveSubWindow(frame);
}

CView* CMainFrame::CreateOrActivateFrame(CMultiDocTemplate* docTemplate, ViewClass viewClass) {
    CMDIChildWnd* active = MDIGetActive();
    CDocument* document = active == nullptr ? nullptr : active->GetActiveDocument();
    if (document == nullptr)
        return nullptr;
    for (CView* view : document->GetViews()) {
        if (viewClass.isKindOf(view)) {
            ActivateFrameOf(*view);
            return view;
        }
    }
    if (docTemplate == nullptr)
        return nullptr;
    CMDIChildWnd* frame = docTemplate->CreateNewFrame(*document, nullptr);
    if (frame == nullptr)
        return nullptr;
    docTemplate->InitialUpdateFrame(*frame, *document);
    return GetActiveView();
}

void CMainFrame::ShowList(ViewType type) {
    CMDIChildWnd* active = MDIGetActive();
    CDocument* document = active == nullptr ? nullptr : active->GetActiveDocument();
    if (document == nullptr)
        return;
    for (CView* view : document->GetViews()) {
        const auto* listView = dynamic_cast<const CAdminView*>(view);
        if (listView != nullptr && listView->GetViewType() == type) {
            ActivateFrameOf(*view);
            return;
        }
    }
    auto* target = dynamic_cast<CAdminView*>(GetActiveView());
    if (target == nullptr) {
        target = dynamic_cast<CAdminView*>(
            CreateOrActivateFrame(m_adminApp.GetListTemplate(), ViewClassOf<CAdminView>()));
    }
    if (target != nullptr)
        target->LoadView(type, 1);
}

void CMainFrame::OnViewProfiles() {
    ShowList(VT_Profiles);
}

void CMainFrame::OnViewReplaceableservices() {
    ShowList(VT_Services);
}

void CMainFrame::OnViewServiceproviders() {
    ShowList(VT_ServiceProviders);
}

void CMainFrame::OnViewServerstatus() {
    CreateOrActivateFrame(m_adminApp.GetStatusTemplate(), ViewClassOf<CServerStatus>());
}
