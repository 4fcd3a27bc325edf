// The editor association set and the rules of its dialogs, over a real registry file.

#include "config/assocset.h"

#include <gtest/gtest.h>

#include "config/assocrules.h"
#include "config/defeditor.h"
#include "resources/stringids.h"
#include "tests/config/regvalues.h"
#include "tests/registry/temp_registry.h"

namespace {

const std::string kTable = kProfileClassesKey;

void AddClass(const std::string& profileClass, const std::string& editor) {
    SetString(kTable + "\\" + profileClass, "Editor", editor);
}

TEST(EditorAssocSetLoad, EmptyAndMissingTables) {
    TempRegistry registry;
    {
        const EditorAssocSet missing;
        EXPECT_EQ(missing.IsOK(), 0);
        EXPECT_EQ(missing.NoOfAssociations(), 0u);
    }
    CreateKey(kTable);
    const EditorAssocSet empty;
    EXPECT_EQ(empty.IsOK(), 1);
    EXPECT_EQ(empty.NoOfAssociations(), 0u);
    EXPECT_EQ(empty.GetDefaultEditor(), "");
    EXPECT_EQ(empty.GetClass(0), "");
    EXPECT_EQ(empty.GetEditor(0), "");
}

TEST(EditorAssocSetLoad, ClassesEditorsAndDefault) {
    TempRegistry registry;
    AddClass("Application", "/opt/tlv/appedit");
    AddClass("Routing", "/opt/tlv/rredit");
    CreateKey(kTable + "\\Bare");                              // no "Editor" value
    AddClass("Huge", "/" + std::string(kMaxEditorPath, 'p'));  // too long to read back
    SetString(kTable, "DefaultEditor", "/opt/tlv/tlvedit");

    const EditorAssocSet set;
    ASSERT_EQ(set.IsOK(), 1);
    ASSERT_EQ(set.NoOfAssociations(), 4u);
    EXPECT_EQ(set.GetDefaultEditor(), "/opt/tlv/tlvedit");
    EXPECT_EQ(set.GetClass(4), "");

    std::string editor = "untouched";
    EXPECT_EQ(set.Get("ROUTING", editor), 1);
    EXPECT_EQ(editor, "/opt/tlv/rredit");
    EXPECT_EQ(set.Get("bare", editor), 1);
    EXPECT_EQ(editor, "");
    EXPECT_EQ(set.Get("Huge", editor), 1);
    EXPECT_EQ(editor, "");
    editor = "untouched";
    EXPECT_EQ(set.Get("Unknown", editor), 0);
    EXPECT_EQ(editor, "untouched");
}

TEST(EditorAssocSetChange, AssociateCreatesOrOverwritesAndRemoveDeletes) {
    TempRegistry registry;
    AddClass("Application", "/old/editor");
    EditorAssocSet set;

    ASSERT_EQ(set.Associate("Application", "/new/editor"), 1);
    ASSERT_EQ(set.Associate("Queue", "/q/editor"), 1);
    EXPECT_EQ(set.NoOfAssociations(), 2u);
    std::string editor;
    EXPECT_EQ(set.Get("application", editor), 1);
    EXPECT_EQ(editor, "/new/editor");
    EXPECT_EQ(ValuesOf(kTable + "\\Queue"),
              (std::vector<RegValue>{{"Editor", REG_SZ, "/q/editor"}}));

    EXPECT_EQ(set.Remove("Queue"), 1);
    EXPECT_EQ(set.NoOfAssociations(), 1u);
    EXPECT_FALSE(KeyExists(kTable + "\\Queue"));
    EXPECT_EQ(set.Remove("Queue"), 0);
}

TEST(EditorAssocSetChange, AFailedAssociateWritesNothingAndKeepsTheSnapshot) {
    TempRegistry registry;
    AddClass("Application", "/app/editor");
    EditorAssocSet set;

    // Names the store cannot hold as one class key.
    EXPECT_EQ(set.Associate(std::string(kMaxProfileClass + 1, 'c'), "/e"), 0);
    EXPECT_EQ(set.Associate("Nested\\Class", "/e"), 0);
    EXPECT_EQ(set.Associate("Application", "/" + std::string(kMaxEditorPath, 'p')), 0);
    EXPECT_EQ(SubKeysOf(kTable), (std::vector<std::string>{"Application"}));

    // The table disappears under the set: the write fails for real.
    DeleteKeyTree(kTable);
    EXPECT_EQ(set.Associate("Queue", "/q"), 0);
    EXPECT_EQ(set.IsOK(), 1);
    EXPECT_EQ(set.NoOfAssociations(), 1u);
    EXPECT_EQ(set.GetClass(0), "Application");
    EXPECT_FALSE(KeyExists(kTable));
}

TEST(AssociationRules, FieldsAndEditorChoices) {
    EXPECT_EQ(CheckAssociationFields("Application", ""), IDS_CLASS_OR_EDITOR_EMPTY);
    EXPECT_EQ(CheckAssociationFields("", "/e"), IDS_CLASS_OR_EDITOR_EMPTY);
    EXPECT_EQ(CheckAssociationFields("A\\B", "/e"), IDS_PROFILE_CLASS_INVALID);
    EXPECT_EQ(CheckAssociationFields(std::string(256, 'c'), "/e"), IDS_PROFILE_CLASS_INVALID);
    EXPECT_EQ(CheckAssociationFields(std::string(255, 'c'), "/e"), 0u);
    EXPECT_EQ(CheckAssociationFields("A", std::string(2048, 'p')), IDS_EDITOR_PATH_TOO_LONG);
    EXPECT_EQ(CheckDefaultEditorField(""), 0u);
    EXPECT_EQ(CheckDefaultEditorField(std::string(2047, 'p')), 0u);

    TempRegistry registry;
    AddClass("Application", "/opt/Edit");
    AddClass("Routing", "/OPT/edit");
    AddClass("Queue", "/opt/queue");
    SetString(kTable, "DefaultEditor", "/opt/queue");
    const EditorAssocSet set;
    EXPECT_EQ(EditorChoices(set), (std::vector<std::string>{"/opt/Edit", "/opt/queue"}));
    EXPECT_EQ(ClassChoices(set), (std::vector<std::string>{"Application", "Queue", "Routing"}));
}

TEST(DefaultEditor, ReadsOnlyAnExistingValueAndWritesIt) {
    TempRegistry registry;
    std::string editor = "untouched";
    EXPECT_EQ(DefaultEditorKey().Read(editor), IDS_REGISTRY_ACCESS_FAILED);
    EXPECT_EQ(DefaultEditorKey().Write("/e"), IDS_REGISTRY_UPDATE_FAILED);
    CreateKey(kTable);
    EXPECT_EQ(DefaultEditorKey().Read(editor), IDS_REGISTRY_ACCESS_FAILED);
    EXPECT_EQ(editor, "untouched");

    SetString(kTable, "DefaultEditor", "/opt/tlvedit");
    DefaultEditorKey key;
    ASSERT_EQ(key.Read(editor), 0u);
    EXPECT_EQ(editor, "/opt/tlvedit");
    ASSERT_EQ(key.Write(""), 0u);
    ASSERT_EQ(key.Read(editor), 0u);
    EXPECT_EQ(editor, "");
}

}  // namespace
