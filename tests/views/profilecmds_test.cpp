// The profile commands of the list view against a real tlvsd: the editor started on the
// selected profile, one box for the editors that could not be started, removing with a
// failure in the middle of the walk, the enable rules.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>

#include "config/assocset.h"
#include "resources/commandids.h"
#include "session/admindoc.h"
#include "tests/config/regvalues.h"
#include "tests/support/recording_editor.h"
#include "tests/views/viewcmds_fixture.h"
#include "views/adminvw.h"

namespace tlv::test {
namespace {

using Strings = std::vector<std::string>;

const std::string kTable = kProfileClassesKey;
const char* const kDemoProfiles[] = {"Broken_IVR", "Default_Voice",  "Fax_Inbound", "Main",
                                     "Main",       "SCR_AppProfile", "Sales",       "Support"};

void PressEnter(QWidget& widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

TEST(ProfileCommands, EditStartsTheClassEditorWithEntryEditNameAndClass) {
    ListWindow window;
    ASSERT_TRUE(window.IsReady());
    RecordingEditor editor(window.Fixture().Server().Files());
    ASSERT_TRUE(editor.IsReady());
    SetString(kTable + "\\Application", "Editor", editor.Path());

    window.Select({"Sales"});
    ASSERT_TRUE(window.IsEnabled(ID_PROFILE_EDIT));
    ASSERT_TRUE(window.Run(ID_PROFILE_EDIT));
    EXPECT_EQ(editor.WaitForArguments(), (Strings{kServerEntry, "edit", "Sales", "Application"}));
    EXPECT_EQ(window.Shown(), Strings{});
    EXPECT_EQ(window.View().AreUpdatesEnabled(), 1);
}

TEST(ProfileCommands, EnterInTheListEditsTheFirstSelectedProfileOnly) {
    ListWindow window;
    ASSERT_TRUE(window.IsReady());
    RecordingEditor editor(window.Fixture().Server().Files());
    ASSERT_TRUE(editor.IsReady());
    SetString(kTable, "DefaultEditor", editor.Path());

    window.Select({"Support", "Fax_Inbound"});
    PressEnter(window.View().GetListCtrl());
    EXPECT_EQ(editor.WaitForArguments(),
              (Strings{kServerEntry, "edit", "Fax_Inbound", "Application"}));
    EXPECT_EQ(window.View().AreUpdatesEnabled(), 1);
}

TEST(ProfileCommands, NewProfileStartsTheEditorOnTheClassChosenWithoutRefresh) {
    ListWindow window;
    ASSERT_TRUE(window.IsReady());
    RecordingEditor editor(window.Fixture().Server().Files());
    ASSERT_TRUE(editor.IsReady());
    SetString(kTable, "DefaultEditor", editor.Path());
    ASSERT_TRUE(ServerFixture::AddProfile(window.Other(), "Added_Meanwhile", "Application"));

    window.Seam().ExpectDialog([](QDialog& dialog) {
        auto* profileClass = dialog.findChild<QComboBox*>("profileClass");
        EXPECT_EQ(profileClass->currentText(), "Application");
        profileClass->setEditText("Custom");
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    ASSERT_TRUE(window.Run(ID_PROFILE_NEW));
    EXPECT_EQ(editor.WaitForArguments(), (Strings{kServerEntry, "new", "Custom"}));
    EXPECT_EQ(window.Shown(), Strings{"dialog New Profile"});
    const Strings names = window.Names();
    EXPECT_EQ(std::find(names.begin(), names.end(), "Added_Meanwhile"), names.end());
}

TEST(ProfileCommands, EditorsThatCannotStartGiveOneBoxAfterTheWalk) {
    ListWindow window;
    ASSERT_TRUE(window.IsReady());
    CreateKey(kTable);
    window.Select({"Sales", "Support"});
    window.Run(ID_PROFILE_EDIT);
    EXPECT_EQ(window.Seam().MessageTexts(),
              Strings{"Unable to find an editor for the specified profile class. The Registry "
                      "information on your local machine may be corrupt. Either re-enter the "
                      "association information or re-install."});

    window.Seam().Clear();
    SetString(kTable + "\\Application", "Editor", window.Fixture().Server().Files() + "/gone");
    window.Run(ID_PROFILE_EDIT);
    EXPECT_EQ(window.Seam().MessageTexts(),
              Strings{"The editor specified for the given profile class does not exist. It may "
                      "have been deleted or resides on a network drive which is not currently "
                      "mounted."});

    // A double click reports its one profile the same way.
    window.Seam().Clear();
    window.View().OnDoubleClick();
    EXPECT_EQ(window.Seam().MessageTexts().size(), 1u);
    EXPECT_EQ(window.View().AreUpdatesEnabled(), 1);
}

TEST(ProfileCommands, RemovingThreeWithOneFailingRemovesTwoThenOneBoxThenRefresh) {
    // The first removal the server is asked for fails.
    ListWindow window({"--fail", "RemoveProfile=0x01600416x1"});
    ASSERT_TRUE(window.IsReady());
    ASSERT_TRUE(ServerFixture::AddProfile(window.Other(), "Added_Meanwhile", "Application"));
    window.Select({"Sales", "Fax_Inbound", "Support"});

    int updatesDuringQuestion = -1;
    window.Seam().ExpectDialog([&](QDialog& dialog) {
        updatesDuringQuestion = window.View().AreUpdatesEnabled();
        return PressButton(dialog, "OK");
    });
    ASSERT_TRUE(window.Run(ID_VIEW_REMOVE));  // Del in the profile list
    EXPECT_EQ(updatesDuringQuestion, 0);
    EXPECT_EQ(window.Shown(),
              (Strings{"dialog Remove Profile(s)",
                       "box One or more profiles could not be removed due to unknown errors. "
                       "Please contact Technical Support."}));
    // Walked in row order: Fax_Inbound failed, the other two are gone; the refresh shows the
    // profile added behind the window's back.
    const Strings names = window.Names();
    EXPECT_NE(std::find(names.begin(), names.end(), "Fax_Inbound"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "Sales"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "Support"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Added_Meanwhile"), names.end());
    EXPECT_EQ(window.View().AreUpdatesEnabled(), 1);
}

TEST(ProfileCommands, CancellingTheRemoveQuestionRemovesNothing) {
    ListWindow window;
    ASSERT_TRUE(window.IsReady());
    window.Select({"Sales"});
    window.PressInNextDialog("Cancel");
    window.Run(ID_PROFILE_REMOVE);
    window.Run(ID_VIEW_REFRESH);
    const Strings names = window.Names();
    EXPECT_NE(std::find(names.begin(), names.end(), "Sales"), names.end());
    EXPECT_EQ(window.Shown(), Strings{"dialog Remove Profile(s)"});
    EXPECT_EQ(window.View().AreUpdatesEnabled(), 1);
}

TEST(ProfileCommands, EnableRulesFollowListTypeSelectionAndRealRows) {
    ListWindow window;
    ASSERT_TRUE(window.IsReady());
    EXPECT_EQ(window.Names(), Strings(std::begin(kDemoProfiles), std::end(kDemoProfiles)));
    for (const unsigned id : {ID_VIEW_REFRESH, ID_VIEW_SELECTALL})
        EXPECT_TRUE(window.IsEnabled(id)) << id;
    for (const unsigned id : {ID_VIEW_REMOVE, ID_PROFILE_EDIT, ID_PROFILE_REMOVE})
        EXPECT_FALSE(window.IsEnabled(id)) << "nothing selected " << id;

    window.Run(ID_VIEW_SELECTALL);
    EXPECT_EQ(window.View().GetListCtrl().GetSelectedCount(), 8);
    for (const unsigned id :
         {ID_VIEW_REMOVE, ID_PROFILE_EDIT, ID_PROFILE_REMOVE, ID_PROFILE_IMPORT, ID_PROFILE_EXPORT})
        EXPECT_TRUE(window.IsEnabled(id)) << id;
    for (const unsigned id :
         {ID_SERVICE_EDIT, ID_SERVICE_REMOVE, ID_SERVICE_START, ID_SERVICE_STOP})
        EXPECT_FALSE(window.IsEnabled(id)) << id;

    // Del does nothing among the service providers.
    window.Run(ID_VIEW_SERVICEPROVIDERS);
    window.Run(ID_VIEW_SELECTALL);
    EXPECT_FALSE(window.IsEnabled(ID_VIEW_REMOVE));
    EXPECT_FALSE(window.Run(ID_VIEW_REMOVE));
    EXPECT_EQ(window.Shown(), Strings{});
}

TEST(ProfileCommands, DisconnectedOnlyRefreshStaysEnabled) {
    ListWindow window;
    ASSERT_TRUE(window.IsReady());
    window.Run(ID_VIEW_SELECTALL);
    window.Fixture().Server().Server().kill();
    window.Fixture().Tick();
    ASSERT_EQ(window.Doc().IsDisconnected(), 1);
    EXPECT_EQ(window.Names(), Strings{"None Present"});
    EXPECT_TRUE(window.IsEnabled(ID_VIEW_REFRESH));
    for (const unsigned id : {ID_VIEW_SELECTALL, ID_VIEW_REMOVE, ID_PROFILE_EDIT, ID_PROFILE_REMOVE,
                              ID_PROFILE_IMPORT, ID_PROFILE_EXPORT, ID_SERVICE_EDIT})
        EXPECT_FALSE(window.IsEnabled(id)) << id;
    // The lone "None Present" row, double-clicked, asks an editor for it like any row, and the
    // view still follows later updates.
    CreateKey(kTable);
    window.View().GetListCtrl().SelectItems({0});
    window.View().OnDoubleClick();
    EXPECT_EQ(window.View().AreUpdatesEnabled(), 1);
}

}  // namespace
}  // namespace tlv::test
