#pragma once
// The document base of the document/view core: title and path name, the list of attached
// views in attach order, update-all-views, and the open/close steps a document class
// overrides. Free of widgets, so documents run and are tested without a GUI.

#include <QString>
#include <functional>
#include <vector>

#include "framework/view.h"

class CDocument {
public:
    // Destroys the document's frames and then the document; installed by whoever owns it.
    using CloseHandler = std::function<void(CDocument&)>;

    CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;
    // Detaches the views that are still attached; they then show no document.
    virtual ~CDocument();

    // A new, empty document; the default clears path and title and accepts.
    virtual bool OnNewDocument();
    // Opens the document for the path name (a server entry name here); the default accepts.
    // On success the framework sets the path name, which also becomes the title.
    virtual bool OnOpenDocument(const QString& pathName);
    // Closes the document: the close handler destroys the frames and the document, so a
    // derived override does its own work first and calls this last, touching nothing after.
    // Without a handler the views are only detached. A second call while closing is ignored;
    // an override that must not repeat its own work checks IsClosing first.
    virtual void OnCloseDocument();
    bool IsClosing() const { return m_bClosing; }

    void SetCloseHandler(CloseHandler handler) { m_closeHandler = std::move(handler); }

    const QString& GetTitle() const { return m_strTitle; }
    // Sets the title and tells every view, so frame captions follow.
    virtual void SetTitle(const QString& title);
    const QString& GetPathName() const { return m_strPathName; }
    // Sets the path name and makes it the title.
    virtual void SetPathName(const QString& pathName);

    // Attaches a view (leaving the document it showed before); attaching twice changes nothing.
    void AddView(CView* pView);
    // Detaches a view; a view that is not attached is ignored.
    void RemoveView(CView* pView);
    // The attached views in attach order.
    const std::vector<CView*>& GetViews() const { return m_views; }

    // Calls OnUpdate(sender, hint, hint object) on every attached view except the sender, in
    // attach order. A view removed by an earlier view's update is skipped.
    void UpdateAllViews(CView* pSender, long lHint = 0, CObject* pHint = nullptr);

private:
    // Calls the function on a copy of the view list, skipping views detached meanwhile: a
    // view's reaction may close frames and so detach other views.
    void ForEachAttachedView(const std::function<void(CView&)>& function);
    void DetachAllViews();

    QString m_strTitle;
    QString m_strPathName;
    std::vector<CView*> m_views;
    CloseHandler m_closeHandler;
    bool m_bClosing = false;
};
