#pragma once
// An MDI child frame: one window inside the main frame's MDI area holding one view of a
// document. Closing the last frame of a document closes the document.

#include <QMdiSubWindow>
#include <QSize>

class CDocument;
class CMultiDocTemplate;
class CWndView;

// The creation parameters a frame may change before it is shown.
struct CreateStruct {
    QSize size;             // initial outer size; empty: the MDI area's default
    bool resizable = true;  // false: no sizing border
};

class CMDIChildWnd : public QMdiSubWindow {
public:
    explicit CMDIChildWnd(CMultiDocTemplate& docTemplate);

    // Called once before the frame is first shown; returns false to abort creation.
    virtual bool PreCreateWindow(CreateStruct& cs);

    // Takes the view (the frame owns it) and applies the creation parameters.
    bool Create(CWndView* view);

    CWndView* GetActiveView() const { return m_pView; }
    // False when creation left the size to the MDI area.
    bool HasInitialSize() const { return m_bHasInitialSize; }
    CDocument* GetActiveDocument() const;
    CMultiDocTemplate& GetDocTemplate() const { return m_template; }

    // The caption is the document's title.
    void OnUpdateFrameTitle();

    // Removes the frame from the screen now and deletes it once control returns to the loop.
    void DestroyWindow();
    bool IsDestroying() const { return m_bDestroying; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool IsLastFrameOfDocument() const;

    CMultiDocTemplate& m_template;
    CWndView* m_pView = nullptr;
    bool m_bHasInitialSize = false;
    bool m_bDestroying = false;
    QSize m_fixedSize;  // a frame without a sizing border: its size while normal
};
