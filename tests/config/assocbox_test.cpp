// "Associate" on a real registry file, answered through the scripted modal seam.

#include "config/ui/assocbox.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>

#include "tests/config/dialog_helpers.h"
#include "tests/config/regvalues.h"
#include "tests/registry/temp_registry.h"

namespace {

const std::string kTable = kProfileClassesKey;
const std::string kAccessFailed =
    "Registry information could not be accessed. Ensure that the Kestrova Telvane Server "
    "Software has been installed correctly on this machine and try again.";
const std::string kUpdateFailed =
    "Unable to update information in the Registry. Ensure that the Kestrova Telvane Server "
    "Software has been installed correctly on this machine and try again";

void AddClass(const std::string& profileClass, const std::string& editor) {
    SetString(kTable + "\\" + profileClass, "Editor", editor);
}

QStringList Items(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) {
        items << box.itemText(i);
    }
    return items;
}

void Choose(QComboBox& box, const QString& text) {
    const int index = box.findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box.setCurrentIndex(index);
    emit box.activated(index);
}

std::string EditorOf(const std::string& profileClass) {
    const std::vector<RegValue> values = ValuesOf(kTable + "\\" + profileClass);
    return values.size() == 1 ? values[0].data : "<" + std::to_string(values.size()) + " values>";
}

class AssocBox : public ::testing::Test {
protected:
    TempRegistry m_registry;
    ScriptedModalSeam m_seam;
};

TEST_F(AssocBox, UnreadableTableIsReportedWithoutOpening) {
    RunAssociate();
    EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kAccessFailed}));
    ASSERT_EQ(m_seam.Events().size(), 1u);
    EXPECT_EQ(m_seam.Events()[0].caption, "Error");
}

TEST_F(AssocBox, ListsEachEditorOnceAndSelectingAClassFillsBothFields) {
    AddClass("Routing", "/opt/edit");
    AddClass("Application", "/OPT/EDIT");
    AddClass("Queue", "/opt/queue");
    SetString(kTable, "DefaultEditor", "/opt/tlvedit");
    CAssocBox box;
    auto& classes = Child<QComboBox>(box, "profileClass");
    auto& editors = Child<QComboBox>(box, "profileEditor");
    EXPECT_EQ(Items(classes), (QStringList{"Application", "Queue", "Routing"}));
    // The classes come in the table's order, so Application's spelling of the shared path wins.
    EXPECT_EQ(Items(editors), (QStringList{"/OPT/EDIT", "/opt/queue", "/opt/tlvedit"}));
    EXPECT_EQ(classes.currentText(), "");
    EXPECT_EQ(editors.currentText(), "");

    Choose(classes, "Queue");
    EXPECT_EQ(editors.currentText(), "/opt/queue");
    editors.setEditText("/usr/bin/other");
    box.accept();
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(EditorOf("Queue"), "/usr/bin/other");
    EXPECT_TRUE(m_seam.MessageTexts().empty());
}

TEST_F(AssocBox, OkNeedsBothFieldsAndCreatesANewClass) {
    CreateKey(kTable);
    CAssocBox box;
    auto& classes = Child<QComboBox>(box, "profileClass");
    auto& editors = Child<QComboBox>(box, "profileEditor");
    classes.setEditText("Fresh");
    box.show();
    box.accept();
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{"The class name or the executable path cannot be empty."}));
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(SubKeysOf(kTable).empty());

    classes.setEditText("Bad\\Class");
    editors.setEditText("/opt/e");
    box.accept();
    EXPECT_EQ(m_seam.MessageTexts().back(),
              "Profile class names cannot contain a backslash or be longer than 255 characters.");
    EXPECT_TRUE(box.isVisible());

    classes.setEditText("Fresh");
    box.accept();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(EditorOf("Fresh"), "/opt/e");
    EXPECT_EQ(m_seam.MessageTexts().size(), 2u);
}

TEST_F(AssocBox, RemoveNeedsAChosenClass) {
    AddClass("Application", "/opt/app");
    AddClass("Queue", "/opt/queue");
    {
        CAssocBox box;
        // Typed, never chosen: reported, the dialog closes, nothing goes.
        Child<QComboBox>(box, "profileClass").setEditText("Queue");
        Press(box, "remove");
        EXPECT_EQ(m_seam.MessageTexts(),
                  (std::vector<std::string>{"A profile class must be selected."}));
        EXPECT_EQ(box.result(), QDialog::Accepted);
        EXPECT_EQ(SubKeysOf(kTable), (std::vector<std::string>{"Application", "Queue"}));
    }
    {
        CAssocBox box;
        Choose(Child<QComboBox>(box, "profileClass"), "Queue");
        Press(box, "remove");
        EXPECT_EQ(box.result(), QDialog::Accepted);
        EXPECT_EQ(SubKeysOf(kTable), (std::vector<std::string>{"Application"}));
    }
    {
        CAssocBox box;
        Choose(Child<QComboBox>(box, "profileClass"), "Application");
        DeleteKeyTree(kTable + "\\Application");  // gone before the operator removes it
        Press(box, "remove");
        EXPECT_EQ(m_seam.MessageTexts().back(), kUpdateFailed);
        EXPECT_EQ(box.result(), QDialog::Accepted);
    }
}

TEST_F(AssocBox, AFailedWriteIsReportedAndTheOldAssociationStays) {
    AddClass("Application", "/opt/app");
    CAssocBox box;
    Choose(Child<QComboBox>(box, "profileClass"), "Application");
    Child<QComboBox>(box, "profileEditor").setEditText("/opt/new");
    // Another program replaces the table under the open dialog: the dialog's key is a deleted
    // one now, and its write fails.
    DeleteKeyTree(kTable);
    AddClass("Application", "/opt/app");
    box.accept();
    EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kUpdateFailed}));
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(EditorOf("Application"), "/opt/app");
}

TEST_F(AssocBox, BrowseFillsTheEditorFromTheFileDialog) {
    CreateKey(kTable);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath("myeditor");
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    CAssocBox box;
    m_seam.ExpectDialog([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        EXPECT_EQ(files.windowTitle(), "Select Profile Editor");
        EXPECT_EQ(files.nameFilters(), (QStringList{"Executables (*)", "All files (*)"}));
        EXPECT_EQ(files.selectedNameFilter(), "Executables (*)");
        files.selectFile(program);
        dialog.accept();
        return ModalResultOf(files.result());
    });
    Press(box, "browse");
    EXPECT_EQ(Child<QComboBox>(box, "profileEditor").currentText(), program);

    // Cancelled: the field stays.
    Child<QComboBox>(box, "profileEditor").setEditText("/typed");
    Press(box, "browse");
    EXPECT_EQ(Child<QComboBox>(box, "profileEditor").currentText(), "/typed");
}

TEST_F(AssocBox, TheApplicationsEntryRunsTheDialogQuietly) {
    CreateKey(kTable);
    m_seam.ExpectDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Associate");
        dialog.reject();
        return ModalResultOf(dialog.result());
    });
    RunAssociate();
    EXPECT_TRUE(m_seam.MessageTexts().empty());
    EXPECT_EQ(m_seam.Events().size(), 1u);
}

}  // namespace
