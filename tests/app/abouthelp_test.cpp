// The about commands of the application (the Help menu item and the server entry dialog's
// "Hi!" item) and what help does when the manual is not there.

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QTemporaryDir>

#include "about/aboutbox.h"
#include "about/misc.h"
#include "app/helpviewer.h"
#include "resources/commandids.h"
#include "resources/stringtable.h"
#include "tests/app/app_fixture.h"

namespace tlv::test {
namespace {

TEST(AppAbout, HelpMenuItemRunsTheAboutBoxOverTheMainWindow) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CMainFrame& frame = fixture.Frame();
    ScriptedModalSeam& seam = fixture.Seam();
    EXPECT_EQ(StringTable::Load(ID_APP_ABOUT).section('\n', 1).toStdString(), "About");
    EXPECT_TRUE(frame.router().isEnabled(ID_APP_ABOUT));

    seam.ExpectDialog([&frame](QDialog& dialog) {
        auto* box = dynamic_cast<CAboutBox*>(&dialog);
        EXPECT_NE(box, nullptr);
        EXPECT_EQ(dialog.parentWidget(), &frame);
        if (box != nullptr) {
            EXPECT_EQ(box->m_strAppName.toStdString(), "Kestrova Telvane Server Administration");
        }
        return IDOK;
    });
    frame.router().execute(ID_APP_ABOUT);
    EXPECT_EQ(seam.PendingDialogs(), 0u);
}

TEST(AppAbout, ServerEntryDialogsHiItemRunsThePlainAboutDialog) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    ScriptedModalSeam& seam = fixture.Seam();
    QWidget* entries = nullptr;
    seam.ExpectDialog([&entries](QDialog& dialog) {
        entries = &dialog;
        auto* about = dialog.findChild<QAction*>(QStringLiteral("about"));
        EXPECT_NE(about, nullptr);
        if (about != nullptr) {
            EXPECT_TRUE(about->isEnabled());
            about->trigger();
        }
        return IDCANCEL;
    });
    seam.ExpectDialog([&entries](QDialog& dialog) {
        EXPECT_NE(dynamic_cast<CAboutDlg*>(&dialog), nullptr);
        EXPECT_EQ(dialog.parentWidget(), entries);
        return IDOK;
    });
    fixture.Frame().router().execute(ID_CLIENT_CHANGESERVERINFO);
    EXPECT_EQ(seam.PendingDialogs(), 0u);
}

TEST(AppHelp, AMissingManualIsNamedInsteadOfABeep) {
    AppFixture fixture;  // the seam that records what is shown
    ASSERT_TRUE(fixture.IsReady());
    ScriptedModalSeam& seam = fixture.Seam();
    QTemporaryDir root;
    seam.Clear();
    EXPECT_FALSE(WinHelp(root.path() + "/Client/Admin/admin.hlp", HELP_FINDER));
    EXPECT_FALSE(WinHelp(QString(), HELP_KEY));
    const std::vector<std::string> expected{
        "The manual was not found at " + root.path().toStdString() + "/Client/Admin/admin.html.",
        "The manual cannot be shown: the registry names no installation root (\"RootPath\")."};
    EXPECT_EQ(seam.MessageTexts(), expected);
    for (const ModalEvent& event : seam.Events())
        EXPECT_NE(event.kind, ModalEvent::Kind::Beep);
}

}  // namespace
}  // namespace tlv::test
