#pragma once
// A list window on a real tlvsd with the demo data, for driving the list-view commands: select
// rows by name, run commands through the main frame's router, answer dialogs by pressing their
// buttons, read back what was shown.

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "tests/app/app_fixture.h"

class QDialog;

namespace tlv::test {

class ListWindow {
public:
    explicit ListWindow(const std::vector<std::string>& extraServerArgs = {});
    ~ListWindow();

    bool IsReady() const { return m_pView != nullptr; }
    AppFixture& Fixture() { return m_fixture; }
    ScriptedModalSeam& Seam() { return m_fixture.Seam(); }
    CAdminDoc& Doc() { return *m_pDoc; }
    CAdminView& View() { return *m_pView; }
    // A second connection, to change the server behind the window's back.
    CAdminDoc& Other();

    bool IsEnabled(unsigned id);
    bool Run(unsigned id);
    // Exactly the rows of the names become selected.
    void Select(const std::vector<std::string>& names);
    std::vector<std::string> Names() { return tlv::test::Names(*m_pView); }
    // The state text of the service's row as the window shows it.
    std::string StateShown(const std::string& name);

    // Starts the services through the other connection and waits until they run.
    bool StartAndWaitRunning(const std::vector<std::string>& names);

    // Queues the next dialog's answer: the button with this text is clicked.
    void PressInNextDialog(const QString& buttonText);
    // Everything shown, in order: "dialog <title>" or "box <text>".
    std::vector<std::string> Shown();

private:
    AppFixture m_fixture;
    CAdminDoc* m_pDoc = nullptr;
    CAdminView* m_pView = nullptr;
    std::unique_ptr<CAdminDoc> m_pOther;
};

// Clicks the dialog's button with the text; the dialog's result as the seam reports it.
int PressButton(QDialog& dialog, const QString& text);

}  // namespace tlv::test
