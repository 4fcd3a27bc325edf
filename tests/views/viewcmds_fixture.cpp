#include "tests/views/viewcmds_fixture.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <algorithm>

#include "app/mainfrm.h"
#include "session/admindoc.h"
#include "views/adminvw.h"

namespace tlv::test {

ListWindow::ListWindow(const std::vector<std::string>& extraServerArgs)
    : m_fixture(extraServerArgs) {
    if (!m_fixture.IsReady())
        return;
    m_pDoc = m_fixture.Connect();
    if (m_pDoc != nullptr)
        m_pView = m_fixture.ActiveListView();
    // The test registry has no installation root: the start-up's notice of that is not the
    // tests' concern.
    m_fixture.Seam().Clear();
}

ListWindow::~ListWindow() = default;

CAdminDoc& ListWindow::Other() {
    if (!m_pOther)
        m_pOther = m_fixture.Server().OpenDocument();
    return *m_pOther;
}

bool ListWindow::IsEnabled(unsigned id) {
    return m_fixture.Frame().router().isEnabled(id);
}

bool ListWindow::Run(unsigned id) {
    return m_fixture.Frame().router().execute(id);
}

void ListWindow::Select(const std::vector<std::string>& names) {
    std::vector<int> rows;
    const std::vector<std::string> shown = Names();
    for (std::size_t row = 0; row < shown.size(); ++row) {
        if (std::find(names.begin(), names.end(), shown[row]) != names.end())
            rows.push_back(static_cast<int>(row));
    }
    EXPECT_EQ(rows.size(), names.size()) << "a name to select is not in the list";
    m_pView->GetListCtrl().ClearSelection();
    m_pView->GetListCtrl().SelectItems(rows);
}

std::string ListWindow::StateShown(const std::string& name) {
    for (const CViewLine* line = m_pView->GetLines(); line != nullptr; line = line->Next()) {
        if (line->GetItem(0).toStdString() == name)
            return line->GetItem(1).toStdString();
    }
    return "";
}

bool ListWindow::StartAndWaitRunning(const std::vector<std::string>& names) {
    CAdminDoc& other = Other();
    for (const std::string& name : names) {
        if (!other.StartService(QString::fromStdString(name)))
            return false;
    }
    return waitUntil([&] {
        other.RefreshServiceInfo(0);
        const std::vector<std::string> rows = Rows(other.GetServices().get());
        return std::all_of(names.begin(), names.end(), [&](const std::string& name) {
            return std::find(rows.begin(), rows.end(), name + "|Running|Optional") != rows.end() ||
                   std::find(rows.begin(), rows.end(), name + "|Running|Mandatory") != rows.end();
        });
    });
}

void ListWindow::PressInNextDialog(const QString& buttonText) {
    Seam().ExpectDialog([buttonText](QDialog& dialog) { return PressButton(dialog, buttonText); });
}

std::vector<std::string> ListWindow::Shown() {
    std::vector<std::string> shown;
    for (const ModalEvent& event : m_fixture.Seam().Events()) {
        if (event.kind == ModalEvent::Kind::Dialog)
            shown.push_back("dialog " + event.caption.toStdString());
        else if (event.kind == ModalEvent::Kind::MessageBox)
            shown.push_back("box " + event.text.toStdString());
    }
    return shown;
}

int PressButton(QDialog& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text) {
            button->click();
            return ModalResultOf(dialog.result());
        }
    }
    ADD_FAILURE() << "no button " << text.toStdString() << " in "
                  << dialog.windowTitle().toStdString();
    dialog.reject();
    return IDCANCEL;
}

}  // namespace tlv::test
