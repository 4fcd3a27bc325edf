// Connecting: the chooser's list and preselection, cancelling, a failed connection, two
// connections to one entry; the environment read at start-up.

#include <gtest/gtest.h>

#include <QListWidget>
#include <functional>

#include "app/serverchoice.h"
#include "framework/comn/getserverdialog.h"
#include "framework/mdi/mdichild.h"
#include "platform/registry/regapi.h"
#include "resources/commandids.h"
#include "resources/resourceids.h"
#include "session/admindoc.h"
#include "tests/app/app_fixture.h"
#include "tests/registry/temp_registry.h"
#include "views/adminvw.h"

namespace tlv::test {
namespace {

const std::string kConnectFailed =
    "Could not connect to the server specified. Ensure the specified server exists and is "
    "running.";
constexpr const char* kEnvironment = "SOFTWARE\\Kestrova\\TLVS Client\\Environment";
const std::string kRegistryFailed =
    "Registry information could not be accessed. Ensure that the Kestrova Telvane Server "
    "Software has been installed correctly on this machine and try again.";

void PutValue(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void PutString(const char* keyPath, const char* name, const std::string& text) {
    PutValue(keyPath, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

QStringList ListedNames(QDialog& dialog) {
    QStringList names;
    const auto* list = dialog.findChild<QListWidget*>(QStringLiteral("53254"));
    for (int row = 0; list != nullptr && row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

TEST(AppConnect, StartsWithoutEnvironmentAndWithoutWindow) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    // The temporary registry has no environment keys: one message, no help, no profile folder.
    EXPECT_EQ(fixture.Seam().MessageTexts(), std::vector<std::string>{kRegistryFailed});
    EXPECT_EQ(fixture.Seam().MessageDetails(),
              std::vector<std::string>{"in " + fixture.Server().RegistryFile() + ": key " +
                                       kEnvironment + " not found"});
    EXPECT_TRUE(fixture.App().GetHelpFilePath().isEmpty());
    EXPECT_TRUE(fixture.App().GetProfileDirectory().isEmpty());
    EXPECT_FALSE(fixture.App().IsMultinode());
    EXPECT_EQ(fixture.FrameCount(), 0u);
    EXPECT_EQ(fixture.Frame().windowTitle(), "Kestrova Telvane Server Administration");
    EXPECT_EQ(fixture.Frame().GetTimerId(), ID_REFRESH_TIMER);
}

// The message stays as it is; under it, which value of which key in which file is wrong.
TEST(AppConnect, TheRegistryMessageAtStartNamesTheValueAndWhatIsWrongWithIt) {
    ServerFixture server;
    ASSERT_TRUE(server.IsReady());
    const std::string where = "in " + server.RegistryFile() + ": key " + kEnvironment;
    PutString(kEnvironment, "Other", "x");
    const std::vector<std::pair<std::function<void()>, std::string>> states = {
        {[] {}, where + ", value RootPath not found"},
        {[] { PutString(kEnvironment, "RootPath", std::string(2048, 'r')); },
         where + ", value RootPath is longer than 2047 bytes"},
    };
    for (const auto& [make, details] : states) {
        make();
        server.Seam().Clear();
        CAdminApp app;
        EXPECT_EQ(server.Seam().MessageTexts(), std::vector<std::string>{kRegistryFailed});
        EXPECT_EQ(server.Seam().MessageDetails(), std::vector<std::string>{details});
    }
}

TEST(AppConnect, ReadsHelpFileAndProfileFolderFromRegistry) {
    ServerFixture server;
    ASSERT_TRUE(server.IsReady());
    PutString("SOFTWARE\\Kestrova\\TLVS Client\\Environment", "RootPath", "/opt/k\xC3\xA9strova");
    PutString("SOFTWARE\\Kestrova\\TLVS Server\\Environment", "ProfileConfigPath", "/srv/prof");
    PutString("SOFTWARE\\Kestrova\\TLVS Server\\ResourceNode", "Node", "1");
    CAdminApp app;
    EXPECT_TRUE(server.Seam().MessageTexts().empty());
    EXPECT_EQ(app.GetHelpFilePath(),
              QString::fromUtf8("/opt/k\u00E9strova/Client/Admin/admin.hlp"));
    EXPECT_EQ(app.GetProfileDirectory(), "/srv/prof");
    EXPECT_TRUE(app.IsMultinode());
}

TEST(AppConnect, ChooserListsEntriesPreselectsDefaultAndCancelChangesNothing) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    const DWORD number = 7;
    PutValue(kAdministrationTableKey, "Broken", REG_DWORD, &number, sizeof number);
    PutString(kAdministrationTableKey, "Default_Server", "tcp:127.0.0.1:1");
    QStringList listed;
    QString preselected;
    fixture.Seam().ExpectDialog([&](QDialog& dialog) {
        listed = ListedNames(dialog);
        preselected = dynamic_cast<CGetServerDialog&>(dialog).SelectedName();
        dialog.reject();
        return ModalResultOf(dialog.result());
    });
    EXPECT_TRUE(fixture.Frame().router().execute(ID_FILE_OPEN));
    EXPECT_EQ(listed, (QStringList{"TestServer", "***RegistryError***", "Default_Server"}));
    EXPECT_EQ(preselected, "Default_Server");
    EXPECT_EQ(fixture.FrameCount(), 0u);
    EXPECT_EQ(fixture.Seam().Events().back().caption, "Select Server");
}

TEST(AppConnect, ChoosingAnEntryOpensItsProfileList) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    fixture.Seam().ExpectDialog([](QDialog& dialog) {
        dynamic_cast<CGetServerDialog&>(dialog).SelectName("TestServer");
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    fixture.Frame().router().execute(ID_FILE_OPEN);
    ASSERT_EQ(fixture.FrameCount(), 1u);
    CAdminView* view = fixture.ActiveListView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetViewType(), VT_Profiles);
    EXPECT_EQ(view->IsNonePresent(), 0);
    EXPECT_EQ(view->GetListCtrl().GetColumnHeading(0), "Profile Name");
    EXPECT_GE(view->GetListCtrl().GetColumnWidth(1), 180);
    EXPECT_EQ(fixture.Frame().windowTitle(), "Kestrova Telvane Server Administration - TestServer");
}

TEST(AppConnect, FailedConnectionShowsMessageAndOpensNoWindow) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    fixture.Seam().Clear();
    PutString(kAdministrationTableKey, "Gone", "tcp:127.0.0.1:1");
    EXPECT_EQ(fixture.App().OpenDocumentFile("Gone"), nullptr);
    EXPECT_EQ(fixture.Seam().MessageTexts(), std::vector<std::string>{kConnectFailed});
    EXPECT_EQ(fixture.Seam().Events().back().caption, "Error");
    EXPECT_EQ(fixture.Seam().Events().back().flags, 0x1030u);
    EXPECT_EQ(fixture.FrameCount(), 0u);
}

TEST(AppConnect, UnreadableServerTableShowsRegistryMessageOnEachAttempt) {
    TempRegistry emptyRegistry;  // no server table at all
    ScriptedModalSeam seam;
    CAdminApp app;
    ASSERT_TRUE(app.InitInstance());
    seam.Clear();
    app.GetMainWnd()->router().execute(ID_FILE_OPEN);
    app.GetMainWnd()->router().execute(ID_FILE_OPEN);
    EXPECT_EQ(seam.MessageTexts(), (std::vector<std::string>{kRegistryFailed, kRegistryFailed}));
    // A registry without any of the software's settings: where it looked, how to make them.
    const std::string details =
        "The registry holds no settings of the Kestrova software: looked in " +
        emptyRegistry.File() + " and " + emptyRegistry.MachineFile() +
        ".\nTo make them, run scripts/demo (a demo server with its client settings), or install "
        "the kestrova-telvane package, which writes " +
        emptyRegistry.MachineFile() + ".";
    EXPECT_EQ(seam.MessageDetails(), (std::vector<std::string>{details, details}));
    EXPECT_EQ(seam.PendingDialogs(), 0u);
}

TEST(AppConnect, TwoConnectsToOneEntryGiveTwoWindowsWithTheSameTitle) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CAdminDoc* first = fixture.Connect();
    CAdminDoc* second = fixture.Connect();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    const auto frames = fixture.Frame().GetChildFrames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]->windowTitle(), "TestServer");
    EXPECT_EQ(frames[1]->windowTitle(), "TestServer");
}

}  // namespace
}  // namespace tlv::test
