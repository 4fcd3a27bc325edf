#include "framework/widgets/widgetmodalseam.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <functional>

namespace {

// Runs the action on the modal widget once the modal loop has started.
void WhenModal(std::function<void(QWidget&)> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        action(*modal);
    });
}

TEST(WidgetModalSeam, MessageBoxShowsTextCaptionIconAndButtonsAndReturnsThePressedOne) {
    WidgetModalSeam seam;
    QString text, caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool noIsDefault = false;
    int buttonCount = 0;
    WhenModal([&](QWidget& widget) {
        auto& box = dynamic_cast<QMessageBox&>(widget);
        text = box.text();
        caption = box.windowTitle();
        icon = box.icon();
        buttonCount = static_cast<int>(box.buttons().size());
        noIsDefault =
            static_cast<QAbstractButton*>(box.defaultButton()) == box.button(QMessageBox::No);
        box.button(QMessageBox::No)->click();
    });

    const int result =
        seam.MessageBox("Continue?", "Question", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);

    EXPECT_EQ(result, IDNO);
    EXPECT_EQ(text, "Continue?");
    EXPECT_EQ(caption, "Question");
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttonCount, 2);
    EXPECT_TRUE(noIsDefault);
}

// Details stand under the text as its lines, shown as written: a name with markup in it is text.
TEST(WidgetModalSeam, ErrorBoxFlagsGiveAWarningWithOkOnlyAndDetailsUnderTheText) {
    WidgetModalSeam seam;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    QString text;
    QString shownDetails;
    WhenModal([&](QWidget& widget) {
        auto& box = dynamic_cast<QMessageBox&>(widget);
        icon = box.icon();
        buttonCount = static_cast<int>(box.buttons().size());
        text = box.text();
        QTextDocument shown;
        shown.setHtml(box.informativeText());
        shownDetails = shown.toPlainText().replace(QChar::LineSeparator, QLatin1Char('\n'));
        box.button(QMessageBox::Ok)->click();
    });

    const QString details = QStringLiteral("Server entry: <b>Lab</b> & co\nStart the server.");
    EXPECT_EQ(
        seam.MessageBox("Unable to stop the service selected.", "Error", 0x1030, nullptr, details),
        IDOK);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttonCount, 1);
    EXPECT_EQ(text, "Unable to stop the service selected.");
    EXPECT_EQ(shownDetails, details);
}

TEST(WidgetModalSeam, RunDialogMapsAcceptRejectAndOwnCodes) {
    WidgetModalSeam seam;
    QDialog dialog;

    WhenModal([](QWidget& widget) { dynamic_cast<QDialog&>(widget).accept(); });
    EXPECT_EQ(seam.RunDialog(dialog), IDOK);
    WhenModal([](QWidget& widget) { dynamic_cast<QDialog&>(widget).reject(); });
    EXPECT_EQ(seam.RunDialog(dialog), IDCANCEL);
    WhenModal([](QWidget& widget) { dynamic_cast<QDialog&>(widget).done(49197); });
    EXPECT_EQ(seam.RunDialog(dialog), 49197);
}

}  // namespace
