// The confirmation and warning dialogs of the list commands: titles, texts, buttons and the
// result of each button.

#include <gtest/gtest.h>

#include <algorithm>

#include <QLabel>
#include <QLayout>
#include <QPushButton>

#include "framework/testing/scriptedmodalseam.h"
#include "resources/resourceids.h"
#include "tests/views/viewcmds_fixture.h"
#include "views/stopbox.h"

namespace tlv::test {
namespace {

struct Expected {
    unsigned id;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
};

// Left to right, as laid out.
std::vector<std::string> ButtonTexts(QDialog& dialog) {
    dialog.layout()->activate();
    QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(), [](QPushButton* left, QPushButton* right) {
        return left->geometry().x() < right->geometry().x();
    });
    std::vector<std::string> texts;
    for (QPushButton* button : buttons)
        texts.push_back(button->text().toStdString());
    return texts;
}

std::string DefaultButton(QDialog& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->isDefault())
            return button->text().toStdString();
    }
    return "";
}

TEST(CommandBoxes, TitlesTextsAndButtonsAreThoseOfTheirResources) {
    const Expected boxes[] = {
        {2053,
         "Remove Profile(s)",
         "Are you sure you want to remove the selected profiles?",
         {"OK", "Cancel"}},
        {2056,
         "Remove Service(s)",
         "Are you sure you want to remove the selected services?",
         {"OK", "Cancel"}},
        {144,
         "Start Service",
         "Are you sure you want to start the selected Services? Note that starting Services this "
         "way is not recommended and may cause unpredictable behaviour.",
         {"&Yes", "No"}},
        {138,
         "Warning",
         "Changes will not take effect until the Service has been restarted.",
         {"OK"}},
    };
    for (const Expected& expected : boxes) {
        CCommandBox box(expected.id, nullptr);
        EXPECT_EQ(box.windowTitle().toStdString(), expected.title);
        EXPECT_EQ(box.findChild<QLabel*>("text")->text().toStdString(), expected.text);
        EXPECT_EQ(ButtonTexts(box), expected.buttons) << expected.id;
        EXPECT_EQ(DefaultButton(box), expected.buttons.front()) << expected.id;
    }
    CStopBox stop(nullptr);
    EXPECT_EQ(stop.windowTitle(), "Stop Service");
    EXPECT_EQ(stop.findChild<QLabel*>("text")->text(),
              "Are you sure you want to stop the selected Services? Note that stopping Services "
              "this way is not recommended and may cause unpredictable behaviour.");
    EXPECT_EQ(ButtonTexts(stop),
              (std::vector<std::string>{"&Normal Stop", "&Emergency Stop", "Cancel"}));
    EXPECT_EQ(DefaultButton(stop), "&Normal Stop");
}

TEST(CommandBoxes, EachButtonEndsTheDialogWithItsResult) {
    ScriptedModalSeam seam;
    const std::pair<QString, int> answers[] = {
        {"&Normal Stop", IDOK}, {"&Emergency Stop", IDC_EMERGENCY}, {"Cancel", IDCANCEL}};
    for (const auto& [button, result] : answers) {
        seam.ExpectDialog([button](QDialog& dialog) { return PressButton(dialog, button); });
        EXPECT_EQ(CStopBox(nullptr).DoModal(), result) << button.toStdString();
    }
    seam.ExpectDialog([](QDialog& dialog) { return PressButton(dialog, "&Yes"); });
    EXPECT_TRUE(ConfirmWith(IDD_START_SERVICE, nullptr));
    seam.ExpectDialog([](QDialog& dialog) { return PressButton(dialog, "No"); });
    EXPECT_FALSE(ConfirmWith(IDD_START_SERVICE, nullptr));
    // Escape, the close button: no confirmation.
    EXPECT_FALSE(ConfirmWith(IDD_REMOVE_PROFILES, nullptr));
}

}  // namespace
}  // namespace tlv::test
