// The main frame: menus per active frame, disabled commands, the View commands, the timer.

#include <gtest/gtest.h>

#include <QMdiArea>

#include "app/statusfr.h"
#include "framework/mdi/doctemplate.h"
#include "framework/mdi/mdichild.h"
#include "resources/commandids.h"
#include "resources/resourceids.h"
#include "session/admindoc.h"
#include "tests/app/app_fixture.h"
#include "views/adminvw.h"

namespace tlv::test {
namespace {

const std::vector<std::string> kMainFrameMenus = {
    "&Server: &Connect to server...\tCtrl+C|-|Configure for multinode...|-|E&xit",
    "&Client: &Edit Server Entries|Server &Overview\tF8", "&View: &Toolbar|&Status Bar",
    "&Profile: &Associate...\tCtrl+A|&Change default editor...",
    "&Help: &Contents...\tF1|&Search for Help on...|&How to Use Help...|-|&About this "
    "application..."};

const std::vector<std::string> kListViewMenus = {
    "&Server: &Connect to server...\tCtrl+C|&Disconnect from server\tCtrl+D|-|Change Server "
    "&Level...\tCtrl+L|-|E&xit",
    "&Client: &Edit Server Entries...|Server &Overview\tF8",
    "&View: &Profiles\tF2|&Telvane Services\tF3|&Service Providers\tF4|Server Stat&us\tF10|-|"
    "&Toolbar|Status &Bar|-|Select All|Re&move selected items\tDel|Re&fresh\tF5",
    "&Profile: &New...\tCtrl+P|&Edit\tCtrl+E|&Remove...\tDel|-|&Import Profile...|E&xport "
    "Profile...|-|&Associate...\tCtrl+A|Change &Default Editor...|-|&Check All Profiles...\tF9",
    "Se&rvice: &New...\tCtrl+S|&Edit...|&Remove...\tDel|-|&Start...|S&top...",
    "&Window: &Cascade|&Tile|&Arrange Icons|Close Al&l|&New Window...\tCtrl+N",
    kMainFrameMenus.back()};

// A seam whose message boxes run a callback first: a modal notice during which ticks arrive.
class NestingSeam final : public ModalSeam {
public:
    explicit NestingSeam(std::function<void()> during) : m_during(std::move(during)) {}
    int RunDialog(QDialog&) override { return IDCANCEL; }
    int MessageBox(const QString& text, const QString&, unsigned, QWidget*,
                   const QString&) override {
        texts.push_back(text.toStdString());
        m_during();
        return IDOK;
    }
    void MessageBeep(unsigned) override {}
    std::vector<std::string> texts;

private:
    std::function<void()> m_during;
    ModalSeamGuard m_guard{*this};
};

TEST(MainFrame, MenuBarFollowsActiveFrameAndCommandsWithoutHandlerAreDisabled) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CMainFrame& frame = fixture.Frame();
    EXPECT_EQ(MenuTexts(frame), kMainFrameMenus);
    EXPECT_TRUE(frame.router().isEnabled(ID_FILE_OPEN));
    EXPECT_FALSE(frame.router().isEnabled(ID_FILE_CLOSE));
    EXPECT_FALSE(frame.router().isEnabled(ID_WINDOW_CLOSEALL));

    ASSERT_NE(fixture.Connect(), nullptr);
    // A server window opens on most of the area, not as a bare caption.
    ASSERT_NE(frame.MDIGetActive(), nullptr);
    EXPECT_GE(frame.MDIGetActive()->width(), 480);
    EXPECT_GE(frame.MDIGetActive()->height(), 320);
    EXPECT_EQ(frame.GetShownMenu(), IDR_LISTVIEW);
    EXPECT_EQ(MenuTexts(frame), kListViewMenus);
    EXPECT_TRUE(frame.router().isEnabled(ID_FILE_CLOSE));
    EXPECT_TRUE(frame.router().isEnabled(ID_VIEW_PROFILES));
    EXPECT_TRUE(frame.router().isChecked(ID_VIEW_TOOLBAR));
    EXPECT_FALSE(frame.router().isEnabled(ID_WINDOW_CLOSEALL));
    EXPECT_FALSE(frame.router().execute(ID_WINDOW_CLOSEALL));

    EXPECT_TRUE(frame.router().execute(ID_FILE_CLOSE));
    AppFixture::ProcessDeletes();
    EXPECT_EQ(fixture.FrameCount(), 0u);
    EXPECT_EQ(frame.GetShownMenu(), IDR_MAINFRAME);
    EXPECT_EQ(frame.windowTitle(), "Kestrova Telvane Server Administration");
}

TEST(MainFrame, ViewCommandsWithoutWindowAndTicksWithoutDocumentDoNothing) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    for (const unsigned id : {ID_VIEW_PROFILES, ID_VIEW_REPLACEABLESERVICES,
                              ID_VIEW_SERVICEPROVIDERS, ID_VIEW_SERVERSTATUS})
        fixture.Frame().router().execute(id);
    fixture.Frame().OnTimer(ID_REFRESH_TIMER);
    EXPECT_EQ(fixture.FrameCount(), 0u);
    EXPECT_EQ(fixture.Frame().IsInTimer(), 0);
}

TEST(MainFrame, F3SwitchesTheSameWindowAndReloads) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CAdminDoc* doc = fixture.Connect();
    ASSERT_NE(doc, nullptr);
    auto other = fixture.Server().OpenDocument();
    ASSERT_TRUE(ServerFixture::AddDllService(*other, "Fresh_Service"));

    fixture.Frame().router().execute(ID_VIEW_REPLACEABLESERVICES);
    ASSERT_EQ(fixture.FrameCount(), 1u);
    CAdminView* view = fixture.ActiveListView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetViewType(), VT_Services);
    EXPECT_EQ(view->GetListCtrl().GetColumnCount(), 3);
    EXPECT_EQ(view->GetListCtrl().GetColumnHeading(2), "Service Type");
    const auto names = Names(*view);
    EXPECT_NE(std::find(names.begin(), names.end(), "Fresh_Service"), names.end());
}

TEST(MainFrame, F3BringsTheWindowAlreadyOnServicesToFrontWithoutReload) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    ASSERT_NE(fixture.Connect(), nullptr);
    CMainFrame& frame = fixture.Frame();
    frame.router().execute(ID_VIEW_REPLACEABLESERVICES);
    CAdminView* servicesView = fixture.ActiveListView();
    frame.router().execute(ID_WINDOW_NEW);
    ASSERT_EQ(fixture.FrameCount(), 2u);
    CAdminView* profilesView = fixture.ActiveListView();
    ASSERT_NE(profilesView, servicesView);
    EXPECT_EQ(profilesView->GetViewType(), VT_Profiles);

    auto other = fixture.Server().OpenDocument();
    ASSERT_TRUE(ServerFixture::AddDllService(*other, "Late_Service"));
    frame.router().execute(ID_VIEW_REPLACEABLESERVICES);
    EXPECT_EQ(fixture.ActiveListView(), servicesView);
    EXPECT_EQ(profilesView->GetViewType(), VT_Profiles);
    const auto names = Names(*servicesView);
    EXPECT_EQ(std::find(names.begin(), names.end(), "Late_Service"), names.end());
    EXPECT_EQ(fixture.FrameCount(), 2u);
}

TEST(MainFrame, OnlyTheActiveDocumentIsRefreshedOnATick) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CAdminDoc* background = fixture.Connect();
    CAdminDoc* front = fixture.Connect();
    ASSERT_NE(background, nullptr);
    ASSERT_NE(front, nullptr);
    ASSERT_EQ(fixture.Frame().GetActiveDocument(), front);
    auto other = fixture.Server().OpenDocument();
    ASSERT_TRUE(ServerFixture::AddProfile(*other, "Ticked", "Application"));

    fixture.Tick();
    const auto frontNames = Names(*fixture.ActiveListView());
    EXPECT_NE(std::find(frontNames.begin(), frontNames.end(), "Ticked"), frontNames.end());
    const auto backgroundRows = Rows(background->GetProfiles().get());
    for (const std::string& row : backgroundRows)
        EXPECT_EQ(row.find("Ticked|"), std::string::npos) << row;
}

TEST(MainFrame, TicksDuringTheLostConnectionNoticeDoNothing) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CAdminDoc* doc = fixture.Connect();
    ASSERT_NE(doc, nullptr);
    // The notice comes with the tick's answers; a tick during it posts no calls.
    bool bNestedTickPosted = true;
    NestingSeam seam([&] {
        fixture.Frame().OnTimer(ID_REFRESH_TIMER);
        bNestedTickPosted = doc->IsTickOutstanding();
    });
    fixture.Server().Server().kill();
    fixture.Tick();
    EXPECT_EQ(seam.texts.size(), 1u);
    EXPECT_FALSE(bNestedTickPosted);
    EXPECT_EQ(fixture.Frame().IsInTimer(), 0);
    EXPECT_EQ(doc->GetTitle(), "TestServer [Disconnected]");
    EXPECT_EQ(fixture.Frame().windowTitle(),
              "Kestrova Telvane Server Administration - TestServer [Disconnected]");
    EXPECT_EQ(fixture.ActiveListView()->IsNonePresent(), 1);
}

TEST(MainFrame, StatusFrameIsFixedAt240By188WhileNormal) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CMultiDocTemplate* docTemplate = fixture.App().GetListTemplate();
    auto* frame = new CStatusFrame(*docTemplate);
    ASSERT_TRUE(frame->Create(new CAdminView));
    fixture.Frame().AddChildFrame(frame);
    EXPECT_EQ(frame->size(), QSize(240, 188));
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize());

    // Maximised it fills the MDI area; back to normal it has its fixed size again.
    fixture.Frame().show();
    fixture.Frame().resize(800, 600);
    frame->showMaximized();
    EXPECT_EQ(frame->geometry(), fixture.Frame().MdiArea().viewport()->rect());
    EXPECT_GT(frame->width(), 240);
    frame->showNormal();
    EXPECT_EQ(frame->size(), QSize(240, 188));
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
}

}  // namespace
}  // namespace tlv::test
