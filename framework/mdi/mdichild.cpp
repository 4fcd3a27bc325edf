#include "framework/mdi/mdichild.h"

#include <QCloseEvent>

#include "framework/document.h"
#include "framework/mdi/wndview.h"

CMDIChildWnd::CMDIChildWnd(CMultiDocTemplate& docTemplate) : m_template(docTemplate) {
    setAttribute(Qt::WA_DeleteOnClose);
}

bool CMDIChildWnd::PreCreateWindow(CreateStruct& /*cs*/) {
    return true;
}

bool CMDIChildWnd::Create(CWndView* view) {
    CreateStruct cs;
    if (!PreCreateWindow(cs)) {
        delete view;
        return false;
    }
    m_pView = view;
    setWidget(view);
    if (!cs.resizable) {
        // No sizing border: the size is fixed, moving and the system buttons stay.
        setWindowFlags(windowFlags() | Qt::MSWindowsFixedSizeDialogHint);
        m_fixedSize = cs.size.isEmpty() ? sizeHint() : cs.size;
        setFixedSize(m_fixedSize);
    } else if (!cs.size.isEmpty()) {
        resize(cs.size);
    }
    m_bHasInitialSize = !cs.resizable || !cs.size.isEmpty();
    OnUpdateFrameTitle();
    return true;
}

CDocument* CMDIChildWnd::GetActiveDocument() const {
    return m_pView == nullptr ? nullptr : m_pView->GetDocument();
}

void CMDIChildWnd::OnUpdateFrameTitle() {
    const CDocument* document = GetActiveDocument();
    setWindowTitle(document == nullptr ? QString() : document->GetTitle());
}

void CMDIChildWnd::DestroyWindow() {
    if (m_bDestroying)
        return;
    m_bDestroying = true;
    hide();
    deleteLater();
}

bool CMDIChildWnd::IsLastFrameOfDocument() const {
    const CDocument* document = GetActiveDocument();
    if (document == nullptr)
        return false;
    int frames = 0;
    for (const CView* view : document->GetViews()) {
        const auto* wndView = dynamic_cast<const CWndView*>(view);
        const CMDIChildWnd* frame = wndView == nullptr ? nullptr : wndView->GetParentFrame();
        if (frame != nullptr && !frame->IsDestroying())
            ++frames;
    }
    return frames == 1;
}

// The fixed size holds only while the frame is normal: maximised it fills the MDI area, and
// minimised it shrinks to its title bar. The limits go before the base class gives the frame
// its geometry for the new state, and come back after it has restored the normal one.
void CMDIChildWnd::changeEvent(QEvent* event) {
    const bool fixedNow = event->type() == QEvent::WindowStateChange && m_fixedSize.isValid();
    const bool normal = !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
    if (fixedNow && !normal) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    QMdiSubWindow::changeEvent(event);
    if (fixedNow && normal)
        setFixedSize(m_fixedSize);
}

void CMDIChildWnd::closeEvent(QCloseEvent* event) {
    if (m_bDestroying || !IsLastFrameOfDocument()) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    // The document destroys its frames, this one included, when it closes.
    event->ignore();
    GetActiveDocument()->OnCloseDocument();
}
