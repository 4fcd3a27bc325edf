#include "framework/mdi/wndview.h"

#include "framework/mdi/mdichild.h"

CWndView::CWndView(QWidget* parent) : QWidget(parent) {}

CMDIChildWnd* CWndView::GetParentFrame() const {
    for (QWidget* widget = parentWidget(); widget != nullptr; widget = widget->parentWidget()) {
        if (auto* frame = dynamic_cast<CMDIChildWnd*>(widget))
            return frame;
    }
    return nullptr;
}

void CWndView::OnActivateView(bool /*activate*/) {}

void CWndView::OnDocumentTitleChanged() {
    if (CMDIChildWnd* frame = GetParentFrame())
        frame->OnUpdateFrameTitle();
}
