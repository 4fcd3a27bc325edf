// The service commands of the list view against a real tlvsd with the demo services (all idle
// at level 1): remove, start, stop, edit, their boxes and enable rules.

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "framework/bytetext.h"
#include "framework/testing/scriptedwaitingbox.h"
#include "resources/commandids.h"
#include "session/admindoc.h"
#include "tests/views/viewcmds_fixture.h"
#include "views/adminvw.h"

namespace tlv::test {
namespace {

using Strings = std::vector<std::string>;

const char* const kRemoteInfo =
    "box Please make sure the Telvane Service you are editing is located on a machine that has "
    "a Telvane server installed. Telvane Services must be EXEs or DLLs that reside on the "
    "Telvane Server and not accessed through a network connection.";

bool Contains(const Strings& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class ServiceCommands : public ::testing::Test {
protected:
    explicit ServiceCommands(const std::vector<std::string>& serverArgs = {})
        : m_window(serverArgs) {}

    void SetUp() override {
        ASSERT_TRUE(m_window.IsReady());
        ASSERT_TRUE(m_window.Run(ID_VIEW_REPLACEABLESERVICES));
        ASSERT_EQ(m_window.Names(), (Strings{"Archiver", "CallRouter", "FaxGateway", "MediaManager",
                                             "Reporter", "SpeechEngine", "VoiceMail"}));
    }

    // A DLL service added behind the window's back: shown only after a refresh.
    void AddBehindTheWindow(const char* name) {
        ASSERT_TRUE(ServerFixture::AddDllService(m_window.Other(), name));
    }

    ListWindow m_window;
};

TEST_F(ServiceCommands, CancellingRemoveChangesNothingAndDoesNotRefresh) {
    AddBehindTheWindow("Late");
    m_window.Select({"Reporter"});
    m_window.PressInNextDialog("Cancel");
    ASSERT_TRUE(m_window.Run(ID_VIEW_REMOVE));
    EXPECT_EQ(m_window.Shown(), Strings{"dialog Remove Service(s)"});
    EXPECT_FALSE(Contains(m_window.Names(), "Late"));
    m_window.Run(ID_VIEW_REFRESH);
    EXPECT_TRUE(Contains(m_window.Names(), "Reporter"));
    EXPECT_TRUE(Contains(m_window.Names(), "Late"));
    EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 1);
}

TEST_F(ServiceCommands, RemoveReportsEachRefusalAtOnceInTheCommandsWords) {
    ASSERT_TRUE(m_window.StartAndWaitRunning({"Reporter"}));
    AddBehindTheWindow("Late");
    // SpeechEngine vanishes behind the window's back; Reporter runs, so it is only marked.
    ASSERT_EQ(m_window.Other().DeleteService("SpeechEngine"), 1);
    m_window.Select({"Archiver", "Reporter", "SpeechEngine"});
    m_window.PressInNextDialog("OK");
    m_window.PressInNextDialog("OK");
    ASSERT_TRUE(m_window.Run(ID_SERVICE_REMOVE));
    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Remove Service(s)", "dialog Warning",
                       "box The service you are attempting to remove has been marked for removal "
                       "but\nwill continue operating until it is stopped."}));
    const Strings names = m_window.Names();
    EXPECT_FALSE(Contains(names, "Archiver"));
    EXPECT_FALSE(Contains(names, "SpeechEngine"));
    EXPECT_TRUE(Contains(names, "Reporter"));  // still running, marked for removal
    EXPECT_TRUE(Contains(names, "Late"));      // the list was refreshed
}

class RunningServicesRefused : public ServiceCommands {
protected:
    RunningServicesRefused() : ServiceCommands({"--fail", "RemoveService=0x01600408x2"}) {}
};

TEST_F(RunningServicesRefused, TwoRunningServicesAreRefusedTwiceThenTheListRefreshes) {
    AddBehindTheWindow("Late");
    m_window.Select({"CallRouter", "MediaManager"});
    m_window.PressInNextDialog("OK");
    m_window.Run(ID_SERVICE_REMOVE);
    const std::string running =
        "box The Service could not be deleted because the Service is currently running. Stop "
        "the Service and try again.";
    EXPECT_EQ(m_window.Shown(), (Strings{"dialog Remove Service(s)", running, running}));
    EXPECT_TRUE(Contains(m_window.Names(), "CallRouter"));
    EXPECT_TRUE(Contains(m_window.Names(), "Late"));
}

TEST_F(ServiceCommands, OnlyTheLastSelectedRowDecidesStartAndStop) {
    ASSERT_TRUE(m_window.StartAndWaitRunning({"Reporter"}));
    m_window.Run(ID_VIEW_REFRESH);
    ASSERT_EQ(m_window.StateShown("Reporter"), "Running");

    m_window.Select({"Reporter", "SpeechEngine"});  // Running, then Idle
    EXPECT_TRUE(m_window.IsEnabled(ID_SERVICE_START));
    EXPECT_FALSE(m_window.IsEnabled(ID_SERVICE_STOP));
    m_window.Select({"CallRouter", "Reporter"});  // Idle, then Running
    EXPECT_FALSE(m_window.IsEnabled(ID_SERVICE_START));
    EXPECT_TRUE(m_window.IsEnabled(ID_SERVICE_STOP));

    EXPECT_FALSE(m_window.IsEnabled(ID_SERVICE_EDIT));  // two rows
    m_window.Select({"Reporter"});
    EXPECT_TRUE(m_window.IsEnabled(ID_SERVICE_EDIT));
    for (const unsigned id : {ID_PROFILE_EDIT, ID_PROFILE_REMOVE})
        EXPECT_FALSE(m_window.IsEnabled(id)) << id;
}

TEST_F(ServiceCommands, StartAsksFirstAndReportsFailuresOnceAfterTheWalk) {
    m_window.Select({"CallRouter", "FaxGateway", "MediaManager"});
    m_window.PressInNextDialog("No");
    m_window.Run(ID_SERVICE_START);
    EXPECT_EQ(m_window.StateShown("CallRouter"), "Idle");

    int updatesDuringQuestion = -1;
    m_window.Seam().ExpectDialog([&](QDialog& dialog) {
        updatesDuringQuestion = m_window.View().AreUpdatesEnabled();
        return PressButton(dialog, "&Yes");
    });
    m_window.Run(ID_SERVICE_START);
    EXPECT_EQ(updatesDuringQuestion, 1);  // turned off only after the question
    // FaxGateway's program is not installed: one box, and the walk went on.
    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Start Service", "dialog Start Service",
                       "box One or more services could not be started due to unknown errors."}));
    EXPECT_NE(m_window.StateShown("MediaManager"), "Idle");
    EXPECT_NE(m_window.StateShown("CallRouter"), "Idle");
    EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 1);
}

TEST_F(ServiceCommands, EmergencyStopStopsEverySelectedServiceAndCancelStopsNone) {
    ASSERT_TRUE(m_window.StartAndWaitRunning({"CallRouter", "Reporter"}));
    m_window.Run(ID_VIEW_REFRESH);
    m_window.Select({"Archiver", "CallRouter", "Reporter"});
    ASSERT_TRUE(m_window.IsEnabled(ID_SERVICE_STOP));

    m_window.PressInNextDialog("Cancel");
    m_window.Run(ID_SERVICE_STOP);
    EXPECT_EQ(m_window.StateShown("Reporter"), "Running");

    m_window.PressInNextDialog("&Emergency Stop");
    m_window.Run(ID_SERVICE_STOP);
    // Archiver is idle: its stop fails, the other two go on.
    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Stop Service", "dialog Stop Service",
                       "box One or more services could not be stopped due to unknown errors."}));
    for (const char* name : {"CallRouter", "Reporter"}) {
        EXPECT_TRUE(waitUntil([&] {
            m_window.Run(ID_VIEW_REFRESH);
            return m_window.StateShown(name) == "Idle";
        })) << name;
    }
}

TEST_F(ServiceCommands, ANewServiceIsShownAtOnceAndACancelledOneRefreshesNothing) {
    AddBehindTheWindow("Late");
    m_window.PressInNextDialog("Cancel");
    ASSERT_TRUE(m_window.Run(ID_SERVICE_NEW));
    EXPECT_FALSE(Contains(m_window.Names(), "Late"));

    m_window.Seam().ExpectDialog([](QDialog& dialog) {
        dialog.findChild<QRadioButton*>("dllService")->setChecked(true);
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    m_window.Seam().ExpectDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit*>("serviceName")->text(), "Untitled");
        dialog.findChild<QLineEdit*>("serviceName")->setText("Fresh");
        dialog.findChild<QLineEdit*>("dllPath")->setText("/opt/fresh.so");
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    ASSERT_TRUE(m_window.Run(ID_SERVICE_NEW));
    EXPECT_TRUE(Contains(m_window.Names(), "Fresh"));
    EXPECT_TRUE(Contains(m_window.Names(), "Late"));
    EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 1);
}

TEST_F(ServiceCommands, RenamingAServiceUpdatesTheNewNameAndRemovesTheOld) {
    m_window.Select({"SpeechEngine"});
    m_window.Seam().ExpectDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Edit DLL Service");
        auto* name = dialog.findChild<QLineEdit*>("serviceName");
        EXPECT_EQ(name->text(), "SpeechEngine");
        name->setText("Speech2");
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    ASSERT_TRUE(m_window.Run(ID_SERVICE_EDIT));
    EXPECT_EQ(m_window.Shown(), (Strings{"dialog Edit DLL Service", kRemoteInfo}));
    const Strings names = m_window.Names();
    EXPECT_TRUE(Contains(names, "Speech2"));
    EXPECT_FALSE(Contains(names, "SpeechEngine"));
    EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 1);
}

TEST_F(ServiceCommands, RenamingOntoAnExistingServiceKeepsBoth) {
    m_window.Select({"SpeechEngine"});
    m_window.Seam().ExpectDialog([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("serviceName")->setText("Reporter");
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    m_window.Run(ID_SERVICE_EDIT);
    EXPECT_EQ(m_window.Shown(), (Strings{"dialog Edit DLL Service", kRemoteInfo,
                                         "box The Service could not be added because a Service "
                                         "already exists by that name."}));
    EXPECT_TRUE(Contains(m_window.Names(), "SpeechEngine"));
    m_window.Select({"Reporter"});
    m_window.Seam().ExpectDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Edit Executable Service");
        return IDCANCEL;
    });
    m_window.Run(ID_SERVICE_EDIT);
}

// A name that is no UTF-8 is shown with escapes and typed with them; its bytes go to the server
// whole. A NUL typed so would cut the name short on its way: the dialog refuses it.
TEST_F(ServiceCommands, AnEditedNameKeepsEveryByteAndANulInItIsRefused) {
    AddBehindTheWindow("Old\xE9");
    m_window.Run(ID_VIEW_REFRESH);
    m_window.Select({ByteStringOfBytes("Old\xE9").toStdString()});
    m_window.Seam().ExpectDialog([](QDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>("serviceName");
        EXPECT_EQ(name->text(), "Old\\xE9");
        name->setText("New\\xE9\\x00Cut");
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        name->setText("New\\xE9\\xFF");
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    ASSERT_TRUE(m_window.Run(ID_SERVICE_EDIT));
    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Edit DLL Service", kRemoteInfo,
                       "box The service was not added because the service name was invalid. "
                       "Valid services names may contain any alphanumeric character apart from "
                       "the space character."}));
    const Strings names = m_window.Names();
    EXPECT_TRUE(Contains(names, ByteStringOfBytes("New\xE9\xFF").toStdString()));
    EXPECT_FALSE(Contains(names, ByteStringOfBytes("Old\xE9").toStdString()));
    EXPECT_FALSE(Contains(names, "New\xC3\xA9"));

    // The status of a name with a NUL is asked for whole, so no other service answers for it.
    CAdminDoc& other = m_window.Other();
    EXPECT_FALSE(ServerFixture::StatusTextOf(other, QStringLiteral("Reporter")).isEmpty());
    EXPECT_TRUE(
        ServerFixture::StatusTextOf(other, ByteStringOfBytes(std::string("Reporter\0X", 10)))
            .isEmpty());
}

TEST_F(ServiceCommands, EditingARemovedServiceSaysSoAndADoubleClickEditsEverySelected) {
    ASSERT_EQ(m_window.Other().DeleteService("Reporter"), 1);
    m_window.Select({"CallRouter", "Reporter", "SpeechEngine"});
    m_window.PressInNextDialog("Cancel");
    m_window.PressInNextDialog("Cancel");
    m_window.View().OnDoubleClick();  // three rows: the menu command would be disabled
    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Edit Executable Service", kRemoteInfo,
                       "box The selected Telvane Service could not be edited because it has been "
                       "removed. Removed Services stay running and visible until the Service has "
                       "been stopped.",
                       "dialog Edit DLL Service", kRemoteInfo}));
    EXPECT_FALSE(Contains(m_window.Names(), "Reporter"));
    EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 1);
}

class ChangeOnRestart : public ServiceCommands {
protected:
    ChangeOnRestart() : ServiceCommands({"--fail", "UpdateService=0x0160046Cx1"}) {}
};

TEST_F(ChangeOnRestart, AnUpdateTakingEffectLaterShowsTheWarning) {
    m_window.Select({"SpeechEngine"});
    m_window.Seam().ExpectDialog([](QDialog& dialog) {
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    m_window.PressInNextDialog("OK");
    m_window.Run(ID_SERVICE_EDIT);
    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Edit DLL Service", kRemoteInfo, "dialog Warning"}));
}

}  // namespace
}  // namespace tlv::test

namespace tlv::test {
namespace {

class SlowStarts : public ServiceCommands {
protected:
    SlowStarts() : ServiceCommands({"--delay", "StartService=4000"}) {}
};

// Giving up on the first of two starts closes the session: the operator is told the start may
// have happened, the walk's own box does not follow, and the list empties as on a lost server.
TEST_F(SlowStarts, CancellingTheWaitEndsTheCommandWithOneBox) {
    ScriptedWaitingBox box;
    box.CancelWhenShown();
    m_window.Select({"CallRouter", "MediaManager"});
    m_window.PressInNextDialog("&Yes");
    m_window.Run(ID_SERVICE_START);
    EXPECT_EQ(box.TimesShown(), 1);
    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Start Service",
                       "box You stopped waiting for TestServer, so the connection has been closed. "
                       "The server may still have carried out the command: refresh the lists "
                       "after connecting again to see what it did."}));
    EXPECT_EQ(m_window.Names(), Strings{"None Present"});
    EXPECT_EQ(m_window.Doc().GetTitle(), "TestServer [Disconnected]");
    EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 1);
}

}  // namespace
}  // namespace tlv::test
