// "Select Service Type" through the scripted modal seam.

#include "services/ui/selectse.h"

#include <gtest/gtest.h>

#include <QRadioButton>

#include "tests/services_ui/svc_helpers.h"

namespace {

TEST(SelectServiceTest, PreselectedExecutableAndTheChoiceAfterOk) {
    ScriptedModalSeam seam;
    CSelectService dialog;
    EXPECT_EQ(dialog.Selection(), CSelectService::kNone);
    EXPECT_EQ(dialog.windowTitle(), "Select Service Type");

    dialog.SetSelection(CSelectService::kExecutable);
    int result = RunScripted<CSelectService>(seam, dialog, [](CSelectService& shown) {
        EXPECT_TRUE(Child<QRadioButton>(shown, "executableService").isChecked());
        EXPECT_EQ(Child<QRadioButton>(shown, "executableService").text(), "Executable Service");
        EXPECT_EQ(Child<QRadioButton>(shown, "dllService").text(), "DLL Service");
        Child<QRadioButton>(shown, "dllService").click();
        shown.accept();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.Selection(), CSelectService::kDLL);

    // Nothing chosen reads as none.
    CSelectService unset;
    result = RunScripted<CSelectService>(seam, unset, [](CSelectService& shown) {
        EXPECT_FALSE(Child<QRadioButton>(shown, "executableService").isChecked());
        EXPECT_FALSE(Child<QRadioButton>(shown, "dllService").isChecked());
        shown.accept();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(unset.Selection(), CSelectService::kNone);
    EXPECT_TRUE(seam.MessageTexts().empty());
}

}  // namespace
