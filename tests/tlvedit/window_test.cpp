// The window without a server: checking as the operator types, Save's state, the title.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "framework/testing/scriptedmodalseam.h"
#include "resources/stringtable.h"
#include "tests/registry/temp_registry.h"
#include "tests/tlvedit/editor_typing.h"
#include "tools/tlvedit/editorwnd.h"
#include "tools/tlvedit/profileconnection.h"

namespace {

class EditorWindowTest : public ::testing::Test {
protected:
    // An entry the empty registry does not hold: the window never reaches a server here.
    TempRegistry m_registry;
    ScriptedModalSeam m_seam;
    ProfileConnection m_connection{QStringLiteral("Nowhere")};
};

TEST_F(EditorWindowTest, ParseErrorsShowLineAndColumnAndDisableSave) {
    CProfileEditorWnd window(m_connection, EditMode::New, QString(), QStringLiteral("Application"),
                             QStringLiteral("{ }"));
    window.NameField()->setText(QStringLiteral("Sales"));
    EXPECT_TRUE(window.CheckNow());
    EXPECT_EQ(window.StatusLine()->text(), QStringLiteral("The contents are a valid KV set."));

    TypeContents(*window.ContentsField(),
                 QStringLiteral("{\n  KEY_AsiName: \"A1\"\n  KEY_AsiList: [ 1 \"two\" ]\n}"));
    EXPECT_FALSE(window.CheckNow());
    EXPECT_EQ(window.StatusLine()->text(),
              QStringLiteral("Error at line 3, column 20: mixed element types in array"));
    EXPECT_FALSE(window.SaveAction()->isEnabled());
    EXPECT_FALSE(window.SaveButton()->isEnabled());

    // Save reached another way (the close question) explains instead of sending.
    EXPECT_FALSE(window.Save());
    EXPECT_EQ(
        m_seam.MessageTexts(),
        (std::vector<std::string>{"Error at line 3, column 20: mixed element types in array"}));

    TypeContents(*window.ContentsField(), QStringLiteral("{ KEY_AsiList: [ 1 2 ] }"));
    EXPECT_TRUE(window.CheckNow());
    EXPECT_TRUE(window.SaveAction()->isEnabled());
    EXPECT_TRUE(window.SaveButton()->isEnabled());
}

TEST_F(EditorWindowTest, ChecksOnceTheTextRests) {
    CProfileEditorWnd window(m_connection, EditMode::Edit, QStringLiteral("Sales"),
                             QStringLiteral("Application"), QStringLiteral("{ }"));
    ASSERT_TRUE(window.IsSaveEnabled());
    TypeContents(*window.ContentsField(), QStringLiteral("{ KEY_AsiName: }"));
    // Not at once: the check waits for a pause in the typing.
    EXPECT_TRUE(window.IsSaveEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.IsSaveEnabled(); }, 3000));
    EXPECT_EQ(
        window.StatusLine()->text(),
        QStringLiteral("Error at line 1, column 16: unexpected character '}', expected a value"));
}

TEST_F(EditorWindowTest, NameMustBeNonEmptyWithoutSpaces) {
    CProfileEditorWnd window(m_connection, EditMode::New, QString(), QStringLiteral("Application"),
                             QStringLiteral("{ }"));
    EXPECT_FALSE(window.IsSaveEnabled());
    EXPECT_EQ(window.StatusLine()->text(), StringTable::Load(IDS_IMPORT_NAME_INVALID));
    EXPECT_FALSE(window.NameField()->isReadOnly());

    window.NameField()->setText(QStringLiteral("Sales App"));
    EXPECT_FALSE(window.CheckNow());
    EXPECT_EQ(window.StatusLine()->text(),
              QStringLiteral(
                  "The profile name must be non-empty and must not contain space characters."));
    window.NameField()->setText(QStringLiteral("Sales\u20ac"));
    EXPECT_FALSE(window.CheckNow());
    EXPECT_EQ(window.StatusLine()->text(),
              QStringLiteral("The profile name must not contain control characters or "
                             "characters outside Latin-1."));
    window.NameField()->setText(QStringLiteral("SalesApp"));
    EXPECT_TRUE(window.CheckNow());

    // A profile being edited is saved under the name the server has, even one made elsewhere.
    CProfileEditorWnd edited(m_connection, EditMode::Edit, QStringLiteral("Made\x01Elsewhere"),
                             QStringLiteral("Application"), QStringLiteral("{ }"));
    EXPECT_TRUE(edited.IsSaveEnabled());
}

TEST_F(EditorWindowTest, TitleNamesProfileClassAndEntryAndMarksChanges) {
    CProfileEditorWnd created(m_connection, EditMode::New, QString(), QStringLiteral("Application"),
                              QStringLiteral("{ }"));
    EXPECT_EQ(created.windowTitle(),
              QStringLiteral("Untitled (Application) on Nowhere[*] - Profile Editor"));
    EXPECT_FALSE(created.IsModified());
    EXPECT_TRUE(created.ClassField()->isReadOnly());
    EXPECT_EQ(created.ClassField()->text(), QStringLiteral("Application"));

    CProfileEditorWnd edited(m_connection, EditMode::Edit, QStringLiteral("Sales"),
                             QStringLiteral("SCR_AppProfile"), QStringLiteral("{ }"));
    EXPECT_EQ(edited.windowTitle(),
              QStringLiteral("Sales (SCR_AppProfile) on Nowhere[*] - Profile Editor"));
    EXPECT_TRUE(edited.NameField()->isReadOnly());
    EXPECT_FALSE(edited.isWindowModified());
    TypeContents(*edited.ContentsField(), QStringLiteral("{ KEY_AsiName: \"A\" }"));
    EXPECT_TRUE(edited.IsModified());
    EXPECT_TRUE(edited.isWindowModified());
}

}  // namespace
