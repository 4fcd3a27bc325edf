#pragma once
// The application object: the last stop of the command route, the owner of the document
// templates and of the main frame.

#include <memory>
#include <vector>

#include "framework/mdi/cmdtarget.h"

class CMDIFrameWnd;
class CMultiDocTemplate;

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    // Ends the run if ExitInstance was not called.
    ~CWinApp() override;

    // Start-up once the message loop can run; false ends the program.
    virtual bool InitInstance();
    // After the message loop: closes every document and the main frame. Derived classes do their
    // own shutdown after calling it.
    virtual int ExitInstance();

    CMDIFrameWnd* GetMainWnd() const { return m_pMainWnd.get(); }

    // Registers a template; it stays until the application ends.
    CMultiDocTemplate* AddDocTemplate(std::unique_ptr<CMultiDocTemplate> docTemplate);
    const std::vector<std::unique_ptr<CMultiDocTemplate>>& GetDocTemplates() const {
        return m_templates;
    }

protected:
    void SetMainWnd(std::unique_ptr<CMDIFrameWnd> frame);

private:
    void CloseEverything();

    std::vector<std::unique_ptr<CMultiDocTemplate>> m_templates;
    std::unique_ptr<CMDIFrameWnd> m_pMainWnd;
};
