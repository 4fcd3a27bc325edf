#pragma once
// A window view: a widget that shows one document inside an MDI child frame and handles the
// commands of the route's first stop.

#include <QWidget>

#include "framework/mdi/cmdtarget.h"
#include "framework/view.h"

class CMDIChildWnd;

class CWndView : public QWidget, public CView, public CCmdTarget {
public:
    explicit CWndView(QWidget* parent = nullptr);

    // The frame that hosts this view, or null before it is placed in one.
    CMDIChildWnd* GetParentFrame() const;

    // The view became the active one (true) or stopped being it (false).
    virtual void OnActivateView(bool activate);

    // The frame's caption follows the document's title.
    void OnDocumentTitleChanged() override;
};

// A run-time class descriptor: whether a view is of a class or derived from it.
struct ViewClass {
    bool (*isKindOf)(const CView* view) = nullptr;
};

template <typename T>
ViewClass ViewClassOf() {
    return ViewClass{[](const CView* view) { return dynamic_cast<const T*>(view) != nullptr; }};
}
