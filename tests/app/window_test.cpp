// The main window: the hint in the empty area, the placement kept between runs, new server
// windows inside the area.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "app/windowplace.h"
#include "config/registry.h"
#include "framework/mdi/mdichild.h"
#include "resources/commandids.h"
#include "tests/app/app_fixture.h"

namespace tlv::test {
namespace {

QLabel* Hint(CMainFrame& frame) {
    return frame.findChild<QLabel*>(QStringLiteral("emptyAreaHint"));
}

QSize DefaultSize() {
    return QGuiApplication::primaryScreen()->availableGeometry().size() * 3 / 4;
}

void StorePlacementValue(const char* name, const char* text) {
    HKEY created = nullptr;
    char emptyClass[] = "";
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kWindowPlacementKey, 0, emptyClass,
                              REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    NT_RegKey key(created);
    ASSERT_TRUE(key.SetValue(name, text));
}

TEST(MainWindow, EmptyAreaTellsHowToConnectWhileNoServerWindowIsOpen) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CMainFrame& frame = fixture.Frame();
    QLabel* hint = Hint(frame);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text().toStdString(), "Connect to a server: Ctrl+C");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(frame.statusBar()->currentMessage().toStdString(), "Ready");

    ASSERT_NE(fixture.Connect(), nullptr);
    EXPECT_FALSE(hint->isVisible());
    ASSERT_TRUE(frame.router().execute(ID_WINDOW_NEW));
    ASSERT_EQ(fixture.FrameCount(), 2u);
    frame.MDIGetActive()->close();
    AppFixture::ProcessDeletes();
    EXPECT_FALSE(hint->isVisible()) << "one window is still open";

    ASSERT_TRUE(frame.router().execute(ID_FILE_CLOSE));
    AppFixture::ProcessDeletes();
    ASSERT_EQ(fixture.FrameCount(), 0u);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->geometry(), frame.MdiArea().viewport()->rect());
}

TEST(MainWindow, PlacementIsKeptBetweenRunsAndABadStoredValueGivesTheDefault) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    EXPECT_EQ(fixture.Frame().size(), DefaultSize()) << "nothing stored yet";

    const QRect placed(40, 30, 520, 410);
    fixture.Frame().setGeometry(placed);
    fixture.Frame().addToolBar(Qt::LeftToolBarArea, fixture.Frame().GetToolBar());
    fixture.Frame().close();
    ASSERT_TRUE(fixture.Restart());
    EXPECT_EQ(fixture.Frame().geometry(), placed);
    EXPECT_EQ(fixture.Frame().toolBarArea(fixture.Frame().GetToolBar()), Qt::LeftToolBarArea);

    // Not base64, base64 of something else, and a value longer than any saved form.
    for (const std::string& damaged :
         {std::string("not*base64"), std::string("AAAAAAAA"), std::string(4096, 'A')}) {
        StorePlacementValue("Geometry", damaged.c_str());
        ASSERT_TRUE(fixture.Restart());
        EXPECT_EQ(fixture.Frame().size(), DefaultSize()) << damaged.substr(0, 16);
    }
}

TEST(MainWindow, NewServerWindowsOpenFullyInsideTheArea) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CMainFrame& frame = fixture.Frame();
    // Smaller than a server window's smallest default size.
    frame.resize(420, 300);
    QCoreApplication::processEvents();
    const QRect area = frame.MdiArea().viewport()->rect();
    ASSERT_LT(area.width(), 480);

    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(fixture.Connect(), nullptr);
        if (i == 1) {
            ASSERT_TRUE(frame.router().execute(ID_VIEW_SERVERSTATUS));
        }
    }
    ASSERT_EQ(fixture.FrameCount(), 5u);
    for (const CMDIChildWnd* child : frame.GetChildFrames()) {
        EXPECT_TRUE(area.contains(child->geometry())) << child->windowTitle().toStdString();
    }
}

}  // namespace
}  // namespace tlv::test
