// "&Edit Server Entries" from the application: the dialog edits the administration table that
// the connect command then offers.

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "app/serverchoice.h"
#include "resources/commandids.h"
#include "tests/app/app_fixture.h"

namespace tlv::test {
namespace {

void Press(QDialog& dialog, const char* button) {
    auto* found = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(found, nullptr) << button;
    found->click();
}

TEST(AppServerEntries, CommandEditsTheTableTheChooserOffers) {
    AppFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    CMainFrame& frame = fixture.Frame();
    ScriptedModalSeam& seam = fixture.Seam();
    seam.Clear();
    // Available with no server window open: it needs no connection.
    EXPECT_TRUE(frame.router().isEnabled(ID_CLIENT_CHANGESERVERINFO));

    seam.ExpectDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Change Server Entries");
        EXPECT_EQ(dialog.parentWidget(), nullptr);
        Press(dialog, "administrationNew");
        Press(dialog, "save");
        return ModalResultOf(dialog.result());
    });
    seam.ExpectDialog([](QDialog& entry) {  // "Edit Server Entry", opened by New
        entry.findChild<QLineEdit*>(QStringLiteral("serverName"))->setText("Backup");
        entry.accept();
        return ModalResultOf(entry.result());
    });
    frame.router().execute(ID_CLIENT_CHANGESERVERINFO);

    EXPECT_EQ(seam.PendingDialogs(), 0u);
    // tcp:localhost:2020 draws no port warning; the test registry has no standard table, whose
    // save is refused while the administration table is still written.
    EXPECT_EQ(seam.MessageTexts(),
              std::vector<std::string>{
                  "Registry information could not be accessed. Ensure that the Kestrova Telvane "
                  "Server Software has been installed correctly on this machine and try again."});
    EXPECT_EQ(ReadServerChoice().names, (std::vector<std::string>{"Backup", kServerEntry, ""}));
}

}  // namespace
}  // namespace tlv::test
