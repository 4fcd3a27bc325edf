#include "tests/app/app_fixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

#include "framework/mdi/doctemplate.h"
#include "resources/resourceids.h"
#include "session/admindoc.h"
#include "views/adminvw.h"

namespace tlv::test {

namespace {

std::vector<std::string> DemoServerArgs(const std::vector<std::string>& extra) {
    std::vector<std::string> args{"--seed", "demo"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

}  // namespace

AppFixture::AppFixture(const std::vector<std::string>& extraServerArgs)
    : m_server(DemoServerArgs(extraServerArgs)) {
    if (!m_server.IsReady())
        return;
    m_pApp = std::make_unique<CAdminApp>();
    m_bReady = m_pApp->InitInstance();
}

AppFixture::~AppFixture() {
    m_pApp.reset();
    ProcessDeletes();
}

bool AppFixture::Restart() {
    m_pApp.reset();
    ProcessDeletes();
    m_pApp = std::make_unique<CAdminApp>();
    m_bReady = m_pApp->InitInstance();
    return m_bReady;
}

CMainFrame& AppFixture::Frame() {
    return *static_cast<CMainFrame*>(m_pApp->GetMainWnd());
}

CAdminDoc* AppFixture::Connect() {
    return dynamic_cast<CAdminDoc*>(m_pApp->OpenDocumentFile(kServerEntry));
}

CAdminView* AppFixture::ActiveListView() {
    return dynamic_cast<CAdminView*>(Frame().GetActiveView());
}

std::size_t AppFixture::FrameCount() {
    return Frame().GetChildFrames().size();
}

void AppFixture::ProcessDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void AppFixture::Tick() {
    Frame().OnTimer(ID_REFRESH_TIMER);
    for (CDocument* document : App().GetListTemplate()->GetDocuments()) {
        if (auto* doc = dynamic_cast<CAdminDoc*>(document)) {
            EXPECT_TRUE(AwaitTickAnswers(*doc));
        }
    }
}

std::vector<std::string> MenuTexts(CMainFrame& frame) {
    std::vector<std::string> popups;
    for (QAction* popup : frame.menuBar()->actions()) {
        std::string line = popup->text().toStdString() + ":";
        const char* separator = " ";
        for (QAction* item : popup->menu()->actions()) {
            line +=
                separator + (item->isSeparator() ? std::string("-") : item->text().toStdString());
            separator = "|";
        }
        popups.push_back(line);
    }
    return popups;
}

std::vector<std::string> Names(CAdminView& view) {
    std::vector<std::string> names;
    for (const CViewLine* line = view.GetLines(); line != nullptr; line = line->Next())
        names.push_back(line->GetItem(0).toStdString());
    return names;
}

}  // namespace tlv::test
