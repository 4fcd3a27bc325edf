// The status window against a real tlvsd: the lamps follow the level, the level dialog from a
// double click and from the menu, refresh, the one status window per document.

#include <gtest/gtest.h>

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTranslator>

#include "app/statusfr.h"
#include "config/ui/newprof.h"
#include "resources/commandids.h"
#include "resources/resourceids.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "tests/app/app_fixture.h"
#include "views/adminvw.h"
#include "views/changele.h"
#include "views/serverst.h"

namespace tlv::test {
namespace {

constexpr QRgb kBrightGreen = 0xFF00FF00;
constexpr QRgb kDarkGreen = 0xFF008000;

CServerStatus* OpenStatus(AppFixture& fixture) {
    fixture.Frame().router().execute(ID_VIEW_SERVERSTATUS);
    return dynamic_cast<CServerStatus*>(fixture.Frame().GetActiveView());
}

int RowTop(int row) {
    return CServerStatus::kFirstRowTop + CServerStatus::kRowHeight * row;
}

// "lit", "unlit" or "?" for the disc of each lamp, read from the rendered view.
std::vector<std::string> Lamps(CServerStatus& view) {
    const QImage image = view.grab().toImage();
    std::vector<std::string> lamps;
    for (int row = 0; row < CServerStatus::kLevels; ++row) {
        const QRgb disc = image.pixel(CServerStatus::kLampLeft + 14, RowTop(row) + 14);
        lamps.push_back(disc == kBrightGreen ? "lit" : disc == kDarkGreen ? "unlit" : "?");
    }
    return lamps;
}

// Pixels of the row's text area that are not background.
int TextPixels(CServerStatus& view, int row) {
    const QImage image = view.grab().toImage();
    const QRgb background = view.palette().color(QPalette::Button).rgb();
    int count = 0;
    for (int y = RowTop(row); y < RowTop(row) + 24; ++y) {
        for (int x = CServerStatus::kTextLeft; x < image.width(); ++x)
            count += image.pixel(x, y) != background ? 1 : 0;
    }
    return count;
}

void DoubleClick(CServerStatus& view, int y) {
    const QPointF at(60, y);
    QMouseEvent event(QEvent::MouseButtonDblClick, at, view.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
}

int CheckedLevel(const CChangeLevel& box) {
    for (int index = 0; index < CChangeLevel::kLevels; ++index) {
        if (box.LevelButton(index)->isChecked())
            return index;
    }
    return -1;
}

int Press(QDialog& dialog, bool ok) {
    ok ? dialog.accept() : dialog.reject();
    return ModalResultOf(dialog.result());
}

bool SetLevel(CAdminDoc& doc, long level) {
    return doc.ChangeServerLevel(level, LEVEL_CHANGE_NORMAL) == 1 && doc.RefreshLevelInfo(0) == 1;
}

class StatusView : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fixture.IsReady());
        doc = fixture.Connect();
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(SetLevel(*doc, 3));
        view = OpenStatus(fixture);
        ASSERT_NE(view, nullptr);
        fixture.Seam().Clear();  // the start-up's boxes are not this test's
    }

    AppFixture fixture;
    CAdminDoc* doc = nullptr;
    CServerStatus* view = nullptr;
};

TEST_F(StatusView, LampsAreLitUpToTheLevelOnTheButtonFaceWithAllTexts) {
    EXPECT_EQ(Lamps(*view), (std::vector<std::string>{"lit", "lit", "lit", "unlit", "unlit"}));
    const QImage image = view->grab().toImage();
    EXPECT_EQ(image.pixel(CServerStatus::kLampLeft, RowTop(0)),
              view->palette().color(QPalette::Button).rgb());
    for (int row = 0; row < CServerStatus::kLevels; ++row)
        EXPECT_GT(TextPixels(*view, row), 20) << row;

    // The background follows the colour scheme at the next redraw.
    QPalette colours = view->palette();
    colours.setColor(QPalette::Button, QColor(0x40, 0x80, 0xC0));
    view->setPalette(colours);
    const QImage recoloured = view->grab().toImage();
    EXPECT_EQ(recoloured.pixel(CServerStatus::kLampLeft, RowTop(0)), qRgb(0x40, 0x80, 0xC0));
    EXPECT_EQ(recoloured.pixel(2, 2), qRgb(0x40, 0x80, 0xC0));
}

TEST_F(StatusView, LostConnectionLeavesAllLampsUnlitAndTheTextsDrawn) {
    // Shut down rather than killed: the server stops the services its level started.
    ASSERT_EQ(fixture.Server().Server().terminate(), 0);
    fixture.Tick();
    ASSERT_EQ(doc->GetServerLevel(), 0);
    EXPECT_EQ(Lamps(*view), std::vector<std::string>(5, "unlit"));
    for (int row = 0; row < CServerStatus::kLevels; ++row)
        EXPECT_GT(TextPixels(*view, row), 20) << row;
}

TEST_F(StatusView, DoubleClickPreselectsTheRowAndChangesTheLevelUnreported) {
    int preselected = -2;
    fixture.Seam().ExpectDialog([&](QDialog& dialog) {
        auto& box = dynamic_cast<CChangeLevel&>(dialog);
        EXPECT_EQ(box.windowTitle(), "Change Server Level");
        preselected = CheckedLevel(box);
        return Press(dialog, true);
    });
    DoubleClick(*view, RowTop(3) + 8);  // on the text of level 4
    EXPECT_EQ(preselected, 3);
    EXPECT_EQ(doc->GetServerLevel(), 3);  // not read again: the next tick shows it
    fixture.Tick();
    EXPECT_EQ(doc->GetServerLevel(), 4);
    EXPECT_EQ(Lamps(*view), (std::vector<std::string>{"lit", "lit", "lit", "lit", "unlit"}));

    // Below the last level nothing is chosen; OK then asks for level 0, which the server
    // refuses, and the double click reports nothing.
    fixture.Seam().ExpectDialog([&](QDialog& dialog) {
        preselected = CheckedLevel(dynamic_cast<CChangeLevel&>(dialog));
        return Press(dialog, true);
    });
    DoubleClick(*view, 160);
    EXPECT_EQ(preselected, -1);
    EXPECT_TRUE(fixture.Seam().MessageTexts().empty());
    ASSERT_EQ(doc->RefreshLevelInfo(0), 1);
    EXPECT_EQ(doc->GetServerLevel(), 4);
}

TEST_F(StatusView, MenuCommandPreselectsTheLevelAndReadsItAgainAtOnce) {
    fixture.Seam().ExpectDialog([&](QDialog& dialog) {
        auto& box = dynamic_cast<CChangeLevel&>(dialog);
        EXPECT_EQ(CheckedLevel(box), 2);
        EXPECT_TRUE(box.EmergencyButton()->isEnabled());
        EXPECT_FALSE(box.EmergencyButton()->isChecked());
        EXPECT_EQ(doc->IsRefreshAllowed(), 0);
        box.LevelButton(1)->click();
        return Press(dialog, true);
    });
    EXPECT_TRUE(fixture.Frame().router().execute(ID_SERVER_CHANGESERVERLEVEL));
    EXPECT_EQ(fixture.Seam().PendingDialogs(), 0u);
    EXPECT_EQ(doc->GetServerLevel(), 2);
    EXPECT_EQ(doc->IsRefreshAllowed(), 1);
    EXPECT_EQ(Lamps(*view), (std::vector<std::string>{"lit", "lit", "unlit", "unlit", "unlit"}));
}

TEST_F(StatusView, MenuCommandReportsARefusedLevelAndCancelChangesNothing) {
    fixture.Seam().ExpectDialog([&](QDialog& dialog) {
        auto& box = dynamic_cast<CChangeLevel&>(dialog);
        box.LevelButton(0)->group()->setExclusive(false);
        box.LevelButton(2)->setChecked(false);
        return Press(dialog, true);
    });
    fixture.Frame().router().execute(ID_SERVER_CHANGESERVERLEVEL);
    EXPECT_EQ(fixture.Seam().MessageTexts(),
              (std::vector<std::string>{
                  "A failure occurred while attempting to change the server level."}));
    EXPECT_EQ(doc->IsRefreshAllowed(), 1);

    fixture.Seam().Clear();
    fixture.Seam().ExpectDialog([&](QDialog& dialog) {
        dynamic_cast<CChangeLevel&>(dialog).LevelButton(4)->click();
        return Press(dialog, false);
    });
    fixture.Frame().router().execute(ID_SERVER_CHANGESERVERLEVEL);
    EXPECT_TRUE(fixture.Seam().MessageTexts().empty());
    EXPECT_EQ(doc->IsRefreshAllowed(), 1);
    ASSERT_EQ(doc->RefreshLevelInfo(0), 1);
    EXPECT_EQ(doc->GetServerLevel(), 3);
}

TEST_F(StatusView, ListWindowRunsTheDocumentsLevelCommandAndTheLampsFollow) {
    fixture.Frame().router().execute(ID_VIEW_PROFILES);
    ASSERT_NE(fixture.ActiveListView(), nullptr);
    fixture.Seam().ExpectDialog([](QDialog& dialog) {
        dynamic_cast<CChangeLevel&>(dialog).LevelButton(4)->click();
        return Press(dialog, true);
    });
    EXPECT_TRUE(fixture.Frame().router().execute(ID_SERVER_CHANGESERVERLEVEL));
    EXPECT_EQ(doc->GetServerLevel(), 5);
    EXPECT_EQ(Lamps(*view), std::vector<std::string>(5, "lit"));
}

TEST_F(StatusView, RefreshAndTickReadTheLevelSetElsewhere) {
    auto other = fixture.Server().OpenDocument();
    ASSERT_TRUE(SetLevel(*other, 4));
    EXPECT_TRUE(fixture.Frame().router().execute(ID_VIEW_REFRESH));
    EXPECT_EQ(Lamps(*view), (std::vector<std::string>{"lit", "lit", "lit", "lit", "unlit"}));

    ASSERT_TRUE(SetLevel(*other, 1));
    fixture.Tick();
    EXPECT_EQ(Lamps(*view), (std::vector<std::string>{"lit", "unlit", "unlit", "unlit", "unlit"}));
}

TEST_F(StatusView, NewServiceFromTheStatusWindowReadsTheLevelAgainOnlyWhenAdded) {
    auto other = fixture.Server().OpenDocument();
    ASSERT_TRUE(SetLevel(*other, 4));
    fixture.Seam().ExpectDialog([](QDialog& dialog) { return Press(dialog, true); });
    fixture.Seam().ExpectDialog([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("serviceName"))->setText("From_Status");
        dialog.findChild<QLineEdit*>(QStringLiteral("commandLine"))->setText("/bin/true");
        return Press(dialog, true);
    });
    EXPECT_TRUE(fixture.Frame().router().execute(ID_SERVICE_NEW));
    EXPECT_EQ(fixture.Seam().PendingDialogs(), 0u);
    EXPECT_EQ(doc->GetServerLevel(), 4);
    EXPECT_EQ(Lamps(*view), (std::vector<std::string>{"lit", "lit", "lit", "lit", "unlit"}));
    ASSERT_EQ(doc->RefreshServiceInfo(0), 1);
    const auto services = Rows(doc->GetServices().get());
    EXPECT_NE(std::find_if(services.begin(), services.end(),
                           [](const std::string& row) { return row.starts_with("From_Status|"); }),
              services.end());

    // Cancelled: nothing added and the level not read.
    ASSERT_TRUE(SetLevel(*other, 2));
    fixture.Seam().ExpectDialog([](QDialog& dialog) { return Press(dialog, false); });
    fixture.Frame().router().execute(ID_SERVICE_NEW);
    EXPECT_EQ(doc->GetServerLevel(), 4);
}

TEST_F(StatusView, NewProfileFromTheStatusWindowReportsAMissingEditor) {
    QString shownClass;
    fixture.Seam().ExpectDialog([&](QDialog& dialog) {
        shownClass = dynamic_cast<CNewProfileBox&>(dialog).windowTitle();
        return Press(dialog, true);
    });
    EXPECT_TRUE(fixture.Frame().router().execute(ID_PROFILE_NEW));
    EXPECT_EQ(shownClass, "New Profile");
    EXPECT_EQ(fixture.Seam().MessageTexts(),
              (std::vector<std::string>{StringTable::Text(IDS_NO_EDITOR)}));
}

TEST_F(StatusView, F10TwiceGivesOneFixedStatusWindowWhoseRouteDisablesListCommands) {
    auto* frame = dynamic_cast<CStatusFrame*>(view->GetParentFrame());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->size(), QSize(240, 188));
    EXPECT_EQ(fixture.Frame().GetShownMenu(), IDR_STATUSVIEW);
    const CommandRouter& router = fixture.Frame().router();
    for (const unsigned id : {ID_SERVER_CHANGESERVERLEVEL, ID_VIEW_REFRESH, ID_VIEW_PROFILES})
        EXPECT_TRUE(router.isEnabled(id)) << id;
    for (const unsigned id :
         {ID_VIEW_SELECTALL, ID_VIEW_REMOVE, ID_PROFILE_EDIT, ID_PROFILE_REMOVE, ID_PROFILE_IMPORT,
          ID_PROFILE_EXPORT, ID_PROFILE_CHECKALLPROFILES, ID_SERVICE_EDIT, ID_SERVICE_REMOVE,
          ID_SERVICE_START, ID_SERVICE_STOP})
        EXPECT_FALSE(router.isEnabled(id)) << id;

    router.execute(ID_VIEW_PROFILES);  // the list window to the front
    ASSERT_NE(fixture.ActiveListView(), nullptr);
    EXPECT_EQ(OpenStatus(fixture), view);
    EXPECT_EQ(OpenStatus(fixture), view);
    EXPECT_EQ(fixture.FrameCount(), 2u);
}

TEST_F(StatusView, F2SwitchesTheListWindowToProfilesOrOpensOne) {
    const CommandRouter& router = fixture.Frame().router();
    router.execute(ID_VIEW_REPLACEABLESERVICES);
    CAdminView* list = fixture.ActiveListView();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetViewType(), VT_Services);
    ASSERT_EQ(OpenStatus(fixture), view);

    router.execute(ID_VIEW_PROFILES);
    EXPECT_EQ(fixture.ActiveListView(), list);
    EXPECT_EQ(list->GetViewType(), VT_Profiles);
    EXPECT_EQ(fixture.FrameCount(), 2u);

    // Without a list window the document keeps its status window, and F2 opens a new list.
    list->GetParentFrame()->close();
    AppFixture::ProcessDeletes();
    ASSERT_EQ(fixture.FrameCount(), 1u);
    ASSERT_EQ(OpenStatus(fixture), view);
    router.execute(ID_VIEW_PROFILES);
    EXPECT_EQ(fixture.FrameCount(), 2u);
    CAdminView* opened = fixture.ActiveListView();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->GetDocument(), doc);
    EXPECT_EQ(opened->GetViewType(), VT_Profiles);
}

TEST(ChangeLevel, EmergencyShutdownOnlyUpToTheCurrentLevelAndKeptWhenDisabled) {
    ScriptedModalSeam seam;
    std::vector<bool> enabled;
    seam.ExpectDialog([&](QDialog& dialog) {
        auto& box = dynamic_cast<CChangeLevel&>(dialog);
        QCheckBox& emergency = *box.EmergencyButton();
        enabled.push_back(emergency.isEnabled());  // "Level 2"
        emergency.setChecked(true);
        for (const int index : {2, 3, 4}) {
            box.LevelButton(index)->click();
            enabled.push_back(emergency.isEnabled());
        }
        EXPECT_TRUE(emergency.isChecked());
        return Press(dialog, true);
    });
    LevelDialogFields fields;
    fields.nCurrentLevel = 3;
    fields.nLevel = 1;
    EXPECT_EQ(RunChangeLevel(fields, nullptr), IDOK);
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(fields.nLevel, 4);
    EXPECT_EQ(fields.bEmergency, 1);
    EXPECT_EQ(ChangeModeOf(fields.bEmergency), LEVEL_CHANGE_EMERGENCY);

    // Cancel leaves the fields as they were.
    seam.ExpectDialog([&](QDialog& dialog) {
        dynamic_cast<CChangeLevel&>(dialog).LevelButton(0)->click();
        return Press(dialog, false);
    });
    EXPECT_EQ(RunChangeLevel(fields, nullptr), IDCANCEL);
    EXPECT_EQ(fields.nLevel, 4);
}

// A translation that renames every standard button, as another locale or style would.
class RenamingTranslator final : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* /*context*/, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        return QStringLiteral("&") + QString::fromLatin1(source) + QStringLiteral("!");
    }
};

TEST(ChangeLevel, ItsButtonsReadOkAndCancelWhateverTheTranslation) {
    RenamingTranslator renaming;
    QCoreApplication::installTranslator(&renaming);
    CChangeLevel dialog(nullptr);
    QCoreApplication::removeTranslator(&renaming);
    QStringList texts;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        texts << button->text();
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"Cancel", "OK"}));
}

// While a call goes unanswered the lamps are greyed (neither lit nor unlit green), every
// caption says "[Not Responding]" and the status bar says since when; the answer undoes it all.
TEST(StatusViewSilence, ASilentServerGreysTheLampsAndTheStatusBarSaysSinceWhen) {
    AppFixture fixture({"--delay", "GetServiceState=4000"});
    ASSERT_TRUE(fixture.IsReady());
    CAdminDoc* doc = fixture.Connect();
    ASSERT_NE(doc, nullptr);
    CServerStatus* view = OpenStatus(fixture);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(Lamps(*view), (std::vector<std::string>{"lit", "unlit", "unlit", "unlit", "unlit"}));
    CMainFrame& frame = fixture.Frame();

    frame.OnTimer(ID_REFRESH_TIMER);  // tick 0: the level, then the services, which take 4 s
    ASSERT_TRUE(waitUntil([&] {
        QCoreApplication::processEvents();
        return doc->IsNotResponding();
    }));
    frame.ShowSilentServer();
    EXPECT_EQ(frame.statusBar()->currentMessage(),
              "TestServer has not answered since " +
                  doc->NotAnsweredSince().toString(QStringLiteral("HH:mm:ss")));
    EXPECT_EQ(frame.windowTitle(),
              "Kestrova Telvane Server Administration - TestServer [Not Responding]");
    EXPECT_EQ(Lamps(*view), std::vector<std::string>(5, "?"));

    ASSERT_TRUE(AwaitTickAnswers(*doc));
    frame.ShowSilentServer();
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Ready");
    EXPECT_EQ(frame.windowTitle(), "Kestrova Telvane Server Administration - TestServer");
    EXPECT_EQ(Lamps(*view), (std::vector<std::string>{"lit", "unlit", "unlit", "unlit", "unlit"}));
}

}  // namespace
}  // namespace tlv::test
