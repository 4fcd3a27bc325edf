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
        setFixedSize(cs.size.isEmpty() ? sizeHint() : cs.size);
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

void CMDIChildWnd::closeEvent(QCloseEvent* event) {
    if (m_bDestroying || !IsLastFrameOfDocument()) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    // The document destroys its frames, this one included, when it closes.
    event->ignore();
    GetActiveDocument()->OnCloseDocument();
}
