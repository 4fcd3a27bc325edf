#pragma once
// A multiple-document template: makes documents of one class and, for any document, frames
// holding views of one class. It owns the documents it opened until they close.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class CDocument;
class CMDIChildWnd;
class CWinApp;
class CWndView;

class CMultiDocTemplate final {
public:
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<CMDIChildWnd*(CMultiDocTemplate&)>;
    using ViewFactory = std::function<CWndView*()>;

    CMultiDocTemplate(unsigned resourceId, DocumentFactory document, FrameFactory frame,
                      ViewFactory view);
    ~CMultiDocTemplate();
    CMultiDocTemplate(const CMultiDocTemplate&) = delete;
    CMultiDocTemplate& operator=(const CMultiDocTemplate&) = delete;

    // The menu resource shown while one of this template's frames is active.
    unsigned GetResourceId() const { return m_nResourceId; }
    void SetApplication(CWinApp* app) { m_pApp = app; }

    // Opens a new document for the path name and a frame on it; null when the document refused
    // to open (it reported why) or no frame could be made. Never reuses an open document.
    CDocument* OpenDocumentFile(const QString& pathName, bool makeVisible = true);

    // A new frame with a new view of the document, placed in the main frame but not shown yet;
    // null on failure.
    CMDIChildWnd* CreateNewFrame(CDocument& document, CMDIChildWnd* other);
    // The view's first update, then the frame shown and activated when asked.
    void InitialUpdateFrame(CMDIChildWnd& frame, CDocument& document, bool makeVisible = true);

    std::vector<CDocument*> GetDocuments() const;
    void CloseAllDocuments();

private:
    // Installed in every document opened here: destroys its frames, then the document.
    void DestroyDocument(CDocument& document);

    unsigned m_nResourceId;
    DocumentFactory m_documentFactory;
    FrameFactory m_frameFactory;
    ViewFactory m_viewFactory;
    CWinApp* m_pApp = nullptr;
    std::vector<std::unique_ptr<CDocument>> m_documents;
};
