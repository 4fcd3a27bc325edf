#include "framework/mdi/mdiframe.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

#include "framework/document.h"
#include "framework/mdi/commandui.h"
#include "framework/mdi/doctemplate.h"
#include "framework/mdi/mdichild.h"
#include "framework/mdi/winapp.h"
#include "framework/mdi/wndview.h"
#include "resources/commandids.h"
#include "resources/stringtable.h"

namespace {

// Enabled states of toolbar buttons follow the route while the program is idle.
constexpr int kIdleUpdateMs = 250;
// The smallest default size of a child frame, for an area not laid out yet.
constexpr int kMinimumChildWidth = 480;
constexpr int kMinimumChildHeight = 320;

}  // namespace

CMDIFrameWnd::CMDIFrameWnd(CWinApp& app)
    : m_app(app),
      m_pMdiArea(new QMdiArea(this)),
      m_router([this] { return ActiveRoute(); }),
      m_pCommandUI(new CommandUI(m_router, *this)) {
    setCentralWidget(m_pMdiArea);
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* window) { OnChildActivated(window); });
    auto* idleUpdate = new QTimer(this);
    connect(idleUpdate, &QTimer::timeout, this, [this] { UpdateCommandStates(); });
    idleUpdate->start(kIdleUpdateMs);
    RegisterFrameworkCommands();
}

CMDIFrameWnd::~CMDIFrameWnd() {
    // Views and child frames must not tell a frame that is half gone about their activation.
    disconnect(m_pMdiArea, nullptr, this, nullptr);
    for (QMdiSubWindow* frame : m_pMdiArea->subWindowList())
        disconnect(frame, nullptr, this, nullptr);
}

bool CMDIFrameWnd::LoadFrame(unsigned resourceId) {
    m_nResourceId = resourceId;
    m_strTitle = StringTable::Load(resourceId);
    if (OnCreate() == -1)
        return false;
    ShowMenu(resourceId);
    OnUpdateFrameTitle();
    return true;
}

int CMDIFrameWnd::OnCreate() {
    return 0;
}

void CMDIFrameWnd::OnTimer(unsigned /*id*/) {}

void CMDIFrameWnd::OnDestroy() {}

unsigned CMDIFrameWnd::SetTimer(unsigned id, int intervalMs) {
    if (id == 0 || intervalMs <= 0)
        return 0;
    QTimer*& timer = m_timers[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
    }
    timer->start(intervalMs);
    return id;
}

bool CMDIFrameWnd::KillTimer(unsigned id) {
    const auto it = m_timers.find(id);
    if (it == m_timers.end())
        return false;
    delete it->second;
    m_timers.erase(it);
    return true;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const {
    // The child in front stays the active one while another application, or a dialog of this
    // one, has the focus: the timer keeps refreshing its document meanwhile.
    auto* frame = dynamic_cast<CMDIChildWnd*>(m_pMdiArea->currentSubWindow());
    return frame == nullptr || frame->IsDestroying() ? nullptr : frame;
}

CWndView* CMDIFrameWnd::GetActiveView() const {
    const CMDIChildWnd* frame = MDIGetActive();
    return frame == nullptr ? nullptr : frame->GetActiveView();
}

CDocument* CMDIFrameWnd::GetActiveDocument() const {
    const CMDIChildWnd* frame = MDIGetActive();
    return frame == nullptr ? nullptr : frame->GetActiveDocument();
}

std::vector<CMDIChildWnd*> CMDIFrameWnd::GetChildFrames() const {
    std::vector<CMDIChildWnd*> frames;
    for (QMdiSubWindow* window : m_pMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        auto* frame = dynamic_cast<CMDIChildWnd*>(window);
        if (frame != nullptr && !frame->IsDestroying())
            frames.push_back(frame);
    }
    return frames;
}

void CMDIFrameWnd::AddChildFrame(CMDIChildWnd* frame) {
    const QSize area = m_pMdiArea->viewport()->size();
    // A view without a size hint would open as a bare caption: take most of the area, as MDI
    // children do by default, but never more than the area.
    if (!frame->HasInitialSize()) {
        QSize size(std::max(area.width() * 3 / 4, kMinimumChildWidth),
                   std::max(area.height() * 3 / 4, kMinimumChildHeight));
        if (!area.isEmpty())
            size = size.boundedTo(area);
        frame->resize(size);
    }
    // The area places the frame by the size it has now.
    m_pMdiArea->addSubWindow(frame);
    KeepInsideArea(*frame);
    connect(frame, &QWidget::windowTitleChanged, this, [this] { OnUpdateFrameTitle(); });
    // A frame going away hands the activation on: its hide may not have done it.
    connect(frame, &QObject::destroyed, this, [this] { OnChildActivated(nullptr); });
}

void CMDIFrameWnd::KeepInsideArea(CMDIChildWnd& frame) const {
    const QSize area = m_pMdiArea->viewport()->size();
    if (area.isEmpty())
        return;
    // Right and bottom edges first, so that a frame larger than the area keeps its caption and
    // system buttons in view.
    const int x = std::max(0, std::min(frame.x(), area.width() - frame.width()));
    const int y = std::max(0, std::min(frame.y(), area.height() - frame.height()));
    frame.move(x, y);
}

void CMDIFrameWnd::UpdateCommandStates() {
    m_pCommandUI->UpdateStates();
}

std::vector<const CCmdTarget*> CMDIFrameWnd::ActiveRoute() const {
    const CWndView* view = GetActiveView();
    const CDocument* document = view == nullptr ? nullptr : view->GetDocument();
    return {view, dynamic_cast<const CCmdTarget*>(document), this, &m_app};
}

void CMDIFrameWnd::OnChildActivated(QMdiSubWindow* /*window*/) {
    // The area may name a frame that is going away; the active one is asked afresh.
    CWndView* view = GetActiveView();
    if (view != m_pActiveView) {
        if (m_pActiveView != nullptr)
            m_pActiveView->OnActivateView(false);
        m_pActiveView = view;
        if (view != nullptr)
            view->OnActivateView(true);
    }
    const CMDIChildWnd* frame = MDIGetActive();
    ShowMenu(frame == nullptr ? m_nResourceId : frame->GetDocTemplate().GetResourceId());
    OnUpdateFrameTitle();
    UpdateCommandStates();
}

void CMDIFrameWnd::ShowMenu(unsigned resourceId) {
    if (resourceId == m_nShownMenu)
        return;
    m_nShownMenu = resourceId;
    menuBar()->clear();
    for (QMenu* menu : m_pCommandUI->Menus(resourceId))
        menuBar()->addMenu(menu);
}

void CMDIFrameWnd::OnUpdateFrameTitle() {
    const CDocument* document = GetActiveDocument();
    if (document == nullptr)
        setWindowTitle(m_strTitle);
    else
        setWindowTitle(m_strTitle + QStringLiteral(" - ") + document->GetTitle());
}

void CMDIFrameWnd::closeEvent(QCloseEvent* event) {
    if (!m_bDestroyed) {
        m_bDestroyed = true;
        OnDestroy();
    }
    QMainWindow::closeEvent(event);
}

void CMDIFrameWnd::RegisterFrameworkCommands() {
    const Rule hasChild = [this] { return MDIGetActive() != nullptr; };
    OnCommand(
        ID_FILE_CLOSE,
        [this] {
            if (CDocument* document = GetActiveDocument())
                document->OnCloseDocument();
        },
        hasChild);
    OnCommand(ID_APP_EXIT, [this] { close(); });
    OnCommand(
        ID_VIEW_TOOLBAR,
        [this] {
            if (auto* toolBar = findChild<QToolBar*>())
                toolBar->setVisible(!toolBar->isVisible());
        },
        [this] { return findChild<QToolBar*>() != nullptr; },
        [this] {
            const auto* toolBar = findChild<QToolBar*>();
            return toolBar != nullptr && !toolBar->isHidden();
        });
    OnCommand(
        ID_VIEW_STATUS_BAR, [this] { statusBar()->setVisible(statusBar()->isHidden()); }, {},
        [this] { return !statusBar()->isHidden(); });
    OnCommand(
        ID_WINDOW_CASCADE, [this] { m_pMdiArea->cascadeSubWindows(); }, hasChild);
    OnCommand(
        ID_WINDOW_TILE_HORZ, [this] { m_pMdiArea->tileSubWindows(); }, hasChild);
    OnCommand(
        ID_WINDOW_ARRANGE, [this] { ArrangeIconicWindows(); }, hasChild);
    OnCommand(
        ID_WINDOW_NEW, [this] { OnWindowNew(); }, hasChild);
}

void CMDIFrameWnd::OnWindowNew() {
    CMDIChildWnd* active = MDIGetActive();
    CDocument* document = active == nullptr ? nullptr : active->GetActiveDocument();
    if (document == nullptr)
        return;
    CMultiDocTemplate& docTemplate = active->GetDocTemplate();
    if (CMDIChildWnd* frame = docTemplate.CreateNewFrame(*document, active))
        docTemplate.InitialUpdateFrame(*frame, *document);
}

void CMDIFrameWnd::ArrangeIconicWindows() {
    // Minimised frames line up along the bottom edge, left to right.
    int x = 0;
    for (CMDIChildWnd* frame : GetChildFrames()) {
        if (!frame->isMinimized())
            continue;
        frame->move(x, m_pMdiArea->viewport()->height() - frame->height());
        x += frame->width();
    }
}
