// CAboutDlg: the resource as it stands, centred on its owner.

#include <gtest/gtest.h>

#include <QLabel>
#include <QTreeWidget>

#include "about/misc.h"
#include "framework/testing/scriptedmodalseam.h"

namespace {

QString Label(QDialog& dialog, const char* name) {
    const auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QStringLiteral("(missing)");
}

TEST(AboutDlg, ShowsTheResourceTextsAndAnEmptyListOverItsOwner) {
    QWidget owner;
    owner.setGeometry(100, 80, 900, 700);
    owner.show();
    ScriptedModalSeam seam;
    seam.ExpectDialog([&owner](QDialog& dialog) {
        EXPECT_NE(dynamic_cast<CAboutDlg*>(&dialog), nullptr);
        EXPECT_EQ(dialog.parentWidget(), &owner);
        EXPECT_EQ(dialog.windowTitle(), "About this Application...");
        EXPECT_EQ(Label(dialog, "appName"), "[Application Name]");
        EXPECT_EQ(Label(dialog, "clientVersion"), "[Client Version]");
        EXPECT_EQ(Label(dialog, "serverVersion"), "Server not installed");
        EXPECT_EQ(Label(dialog, "licensee"), "[Licensee]");
        EXPECT_EQ(Label(dialog, "company"), "[Company]");
        const auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("fileList"));
        EXPECT_NE(list, nullptr);
        if (list != nullptr) {
            EXPECT_EQ(list->topLevelItemCount(), 0);
        }
        const QPoint offset = dialog.frameGeometry().center() - owner.frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 2);
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    RunAboutDlg(&owner);
    EXPECT_EQ(seam.PendingDialogs(), 0u);
}

}  // namespace
