// "Change Default Profile Editor" and "New Profile" on a real registry file.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include "config/assocset.h"
#include "config/ui/changede.h"
#include "config/ui/newprof.h"
#include "tests/config/dialog_helpers.h"
#include "tests/config/regvalues.h"
#include "tests/registry/temp_registry.h"

namespace {

const std::string kTable = kProfileClassesKey;
const std::string kAccessFailed =
    "Registry information could not be accessed. Ensure that the Kestrova Telvane Server "
    "Software has been installed correctly on this machine and try again.";

// Queues an answer to the next "Change Default Profile Editor": records the field it opened
// with, types the text and ends with OK or Cancel.
void AnswerDefaultEditor(ScriptedModalSeam& seam, QString* shown, const QString& typed, bool ok) {
    seam.ExpectDialog([=](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Change Default Profile Editor");
        auto& field = Child<QLineEdit>(dialog, "defaultEditor");
        *shown = field.text();
        field.setText(typed);
        ok ? dialog.accept() : dialog.reject();
        return ModalResultOf(dialog.result());
    });
}

std::string StoredDefault() {
    for (const RegValue& value : ValuesOf(kTable)) {
        if (value.name == "DefaultEditor") {
            return value.data;
        }
    }
    return "<none>";
}

class DefaultEditorCommand : public ::testing::Test {
protected:
    TempRegistry m_registry;
    ScriptedModalSeam m_seam;
};

// Under the message, first a registry without any of the software's settings (where it looked,
// how to make them), then the value that is missing.
TEST_F(DefaultEditorCommand, WithoutAStoredValueNothingOpensAndNothingIsCreated) {
    RunChangeDefaultEditor();
    CreateKey(kTable);
    RunChangeDefaultEditor();
    EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kAccessFailed, kAccessFailed}));
    const std::string machine = m_registry.MachineFile();
    EXPECT_EQ(
        m_seam.MessageDetails(),
        (std::vector<std::string>{
            "The registry holds no settings of the Kestrova software: looked in " +
                m_registry.File() + " and " + machine +
                ".\nTo make them, run scripts/demo (a demo server with its client "
                "settings), or install the kestrova-telvane package, which writes " +
                machine + ".",
            "in " + m_registry.File() + ": key " + kTable + ", value DefaultEditor not found"}));
    EXPECT_EQ(m_seam.Events().size(), 2u);
    EXPECT_EQ(StoredDefault(), "<none>");
}

TEST_F(DefaultEditorCommand, ShowsTheStoredEditorAndWritesWhatOkLeaves) {
    SetString(kTable, "DefaultEditor", "/opt/tlvedit");
    QString shown;
    AnswerDefaultEditor(m_seam, &shown, "/opt/other", false);
    RunChangeDefaultEditor();
    EXPECT_EQ(shown, "/opt/tlvedit");
    EXPECT_EQ(StoredDefault(), "/opt/tlvedit");

    AnswerDefaultEditor(m_seam, &shown, "", true);
    RunChangeDefaultEditor();
    EXPECT_EQ(StoredDefault(), "");
    EXPECT_TRUE(m_seam.MessageTexts().empty());
}

TEST_F(DefaultEditorCommand, APathTooLongToReadBackIsRefusedInTheDialog) {
    SetString(kTable, "DefaultEditor", "/opt/tlvedit");
    CChangeDefBox box;
    box.show();
    Child<QLineEdit>(box, "defaultEditor").setText(QString(2048, 'p'));
    box.accept();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(
        m_seam.MessageTexts(),
        (std::vector<std::string>{"Profile editor paths cannot be longer than 2047 characters."}));
}

TEST(NewProfileBox, OffersTheAssociatedClassesAndReturnsTheTypedOne) {
    TempRegistry registry;
    ScriptedModalSeam seam;
    SetString(kTable + "\\routing", "Editor", "/r");
    SetString(kTable + "\\Application", "Editor", "/a");

    CNewProfileBox box;
    box.SetClass("Application");
    seam.ExpectDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "New Profile");
        auto& classes = Child<QComboBox>(dialog, "profileClass");
        EXPECT_EQ(classes.count(), 2);
        EXPECT_EQ(classes.itemText(0), "Application");
        EXPECT_EQ(classes.itemText(1), "routing");
        EXPECT_EQ(classes.currentText(), "Application");
        classes.setEditText("Custom");
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    ASSERT_EQ(Modal().RunDialog(box), IDOK);
    EXPECT_EQ(box.Class(), "Custom");

    // Without a table the list is empty and the dialog still opens.
    DeleteKeyTree(kTable);
    CNewProfileBox empty;
    empty.SetClass("Application");
    seam.ExpectDialog([](QDialog& dialog) {
        auto& classes = Child<QComboBox>(dialog, "profileClass");
        EXPECT_EQ(classes.count(), 0);
        EXPECT_EQ(classes.currentText(), "Application");
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    ASSERT_EQ(Modal().RunDialog(empty), IDOK);
    EXPECT_EQ(empty.Class(), "Application");
    EXPECT_TRUE(seam.MessageTexts().empty());
}

}  // namespace
