#pragma once
// The view side of the document/view core: a view shows one document and is told of its
// changes through OnUpdate. No widget is needed here; window views derive from CView as well.

class CDocument;

// Base of the objects a document may hand to its views with an update hint.
class CObject {
public:
    virtual ~CObject() = default;
};

class CView {
public:
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;
    // Leaves the document's view list, so a document never calls a destroyed view.
    virtual ~CView();

    // The document this view shows, or null when it is attached to none.
    CDocument* GetDocument() const { return m_pDocument; }

    // Called once when the view first shows its document; the default is a full update.
    virtual void OnInitialUpdate();

    // The document changed; the hint says what, the sender is the view that caused it (or
    // null). The default does nothing: a window view repaints in its own override.
    virtual void OnUpdate(CView* pSender, long lHint, CObject* pHint);

    // The document's title changed; a view in a frame updates the caption here.
    virtual void OnDocumentTitleChanged();

protected:
    CView() = default;

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};
