// The companion dialogs the list view and the shell use, through the scripted seam: the error
// box's flags, caption and owner, and the server chooser's preselected "Default_Server".

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include "framework/comn/comnmfc.h"
#include "framework/testing/scriptedmodalseam.h"
#include "framework/widgets/errorbox.h"
#include "resources/resourceids.h"
#include "resources/stringids.h"

namespace tlv::test {
namespace {

TEST(CompanionDialogs, ErrorBoxShowsTheTextWithOkExclamationSystemModalAndCaptionError) {
    ScriptedModalSeam seam;
    QWidget parent;
    QWidget child(&parent);
    EXPECT_EQ(CErrorBox(IDS_MEMORY_ALLOCATION_FAILED, &child).DoModal(), 1);
    EXPECT_EQ(CErrorBox(IDS_LOST_CONNECTION).DoModal(), 1);
    ASSERT_EQ(seam.Events().size(), 2u);
    const ModalEvent& first = seam.Events()[0];
    EXPECT_EQ(first.kind, ModalEvent::Kind::MessageBox);
    EXPECT_EQ(first.text.toStdString(),
              "A memory allocation error has occurred. Please ensure that your system has enough "
              "memory and try again. If this error occurs frequently then please contact "
              "Technical Support.");
    EXPECT_EQ(first.caption, "Error");
    EXPECT_EQ(first.flags, 0x1030u);
    EXPECT_EQ(first.owner, &parent);  // the parent's window
    EXPECT_EQ(seam.Events()[1].flags, 0x1030u);
    EXPECT_EQ(seam.Events()[1].caption, "Error");
}

TEST(CompanionDialogs, ServerChooserPreselectsDefaultServerAndListsNamesUpToTheEmptyOne) {
    ScriptedModalSeam seam;
    QStringList listed;
    QString selected;
    seam.ExpectDialog([&](QDialog& dialog) {
        const auto* list = dialog.findChild<QListWidget*>(QString::number(IDC_SERVER_LIST));
        for (int i = 0; list != nullptr && i < list->count(); ++i)
            listed.append(list->item(i)->text());
        if (list != nullptr && list->selectedItems().size() == 1)
            selected = list->selectedItems().front()->text();
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    CGetServerBox chooser(IDS_SELECT_SERVER_PROMPT,
                          {"Lab", "Default_Server", "Spare", "", "Hidden"}, nullptr);
    chooser.SetServerSelected(IDS_DEFAULT_SERVER);
    EXPECT_EQ(chooser.DoModal(), 1);
    EXPECT_EQ(listed, (QStringList{"Lab", "Default_Server", "Spare"}));
    EXPECT_EQ(selected, "Default_Server");
    EXPECT_STREQ(chooser.GetServerSelected(), "Default_Server");
    ASSERT_EQ(seam.Events().size(), 1u);
    EXPECT_EQ(seam.Events()[0].caption, "Select Server");
}

// A click that jitters chooses the row it pressed, and a name that is not UTF-8 is shown
// readably and handed back as its own bytes.
TEST(CompanionDialogs, ServerChooserTakesTheClickedRowAndGivesBackItsBytes) {
    ScriptedModalSeam seam;
    QString shown;
    seam.ExpectDialog([&](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QString::number(IDC_SERVER_LIST));
        if (list == nullptr)
            return IDCANCEL;
        dialog.resize(400, 300);
        const QRect row = list->visualItemRect(list->item(1));
        QWidget* viewport = list->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, row.center());
        QMouseEvent move(QEvent::MouseMove, row.center() + QPoint(2, 2),
                         viewport->mapToGlobal(row.center() + QPoint(2, 2)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, row.center() + QPoint(2, 2));
        EXPECT_EQ(list->selectedItems().size(), 1);
        shown = list->currentItem()->text();
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    CGetServerBox chooser(IDS_SELECT_SERVER_PROMPT, {"Lab", "Caf\xE9", "Spare"}, nullptr);
    EXPECT_EQ(chooser.DoModal(), 1);
    EXPECT_EQ(shown, "Caf\\xE9");
    EXPECT_STREQ(chooser.GetServerSelected(), "Caf\xE9");
}

}  // namespace
}  // namespace tlv::test
