// "Configure for multinode..." from the application: enabled until the local server has become
// a server node, which a cancelled run does not make it.

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QDialog>
#include <QLineEdit>

#include "config/multinode.h"
#include "resources/commandids.h"
#include "tests/app/app_fixture.h"
#include "tests/config/dialog_helpers.h"

namespace tlv::test {
namespace {

TEST(AppMultinode, CommandIsEnabledUntilTheServerIsANode) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CMainFrame& frame = fixture.Frame();
    ScriptedModalSeam& seam = fixture.Seam();
    seam.Clear();
    SCMclass manager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_EQ(manager.InstallService(kServerServiceName, kServerServiceName,
                                     SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, "/bin/true",
                                     nullptr),
              SCM_Success);
    HKEY environment = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kServerEnvironmentKey, 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &environment, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(environment);
    EXPECT_TRUE(frame.router().isEnabled(ID_MULTINODE_CFG));

    seam.ExpectDialog([&frame](QDialog& dialog) {
        EXPECT_EQ(dialog.parentWidget(), &frame);
        Press(dialog, "cancel");
        return ModalResultOf(dialog.result());
    });
    EXPECT_TRUE(frame.router().execute(ID_MULTINODE_CFG));
    EXPECT_TRUE(frame.router().isEnabled(ID_MULTINODE_CFG));

    const QString account = QStringLiteral("KESTROVA\\") + getpwuid(getuid())->pw_name;
    seam.ExpectDialog([&seam, account](QDialog& dialog) {
        Child<QLineEdit>(dialog, "containerPath").setText(QStringLiteral("\\\\NODE\\cont"));
        Child<QLineEdit>(dialog, "account").setText(account);
        seam.ExpectDialog([](QDialog& warning) {
            Press(warning, "ok");
            return ModalResultOf(warning.result());
        });
        Press(dialog, "ok");
        return ModalResultOf(dialog.result());
    });
    EXPECT_TRUE(frame.router().execute(ID_MULTINODE_CFG));
    EXPECT_EQ(seam.MessageTexts().size(), 2u);
    EXPECT_TRUE(fixture.App().IsMultinode());
    EXPECT_FALSE(frame.router().isEnabled(ID_MULTINODE_CFG));
    EXPECT_FALSE(frame.router().execute(ID_MULTINODE_CFG));
}

}  // namespace
}  // namespace tlv::test
