// Starting the profile editor of a class: which editor, the exact argument vector, and the
// messages when there is none or it cannot be found.

#include <gtest/gtest.h>

#include <filesystem>

#include "config/assocset.h"
#include "session/admindoc.h"
#include "tests/config/regvalues.h"
#include "tests/session/server_fixture.h"
#include "tests/support/recording_editor.h"

namespace tlv::test {
namespace {

using Strings = std::vector<std::string>;

const std::string kTable = kProfileClassesKey;

class EditorLaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_fixture.IsReady());
        ASSERT_TRUE(m_editor.IsReady());
        m_doc = m_fixture.OpenDocument();
        ASSERT_TRUE(m_doc);
        CreateKey(kTable);
    }

    ServerFixture m_fixture;
    RecordingEditor m_editor{m_fixture.Files()};
    std::unique_ptr<CAdminDoc> m_doc;
};

TEST_F(EditorLaunchTest, TheClassEditorGetsEntryVerbNameAndClass) {
    SetString(kTable + "\\B", "Editor", m_editor.Path());
    SetString(kTable, "DefaultEditor", "/nonexistent/default-editor");
    // The class is found whatever its letter case.
    ASSERT_EQ(m_doc->EditProfile("A", "b"), 1);
    EXPECT_EQ(m_editor.WaitForArguments(), (Strings{kServerEntry, "edit", "A", "b"}));
}

TEST_F(EditorLaunchTest, ANewProfileGoesToTheDefaultEditorWhenTheClassHasNone) {
    SetString(kTable, "DefaultEditor", m_editor.Path());
    ASSERT_EQ(m_doc->NewProfile("Application"), 1);
    EXPECT_EQ(m_editor.WaitForArguments(), (Strings{kServerEntry, "new", "Application"}));
}

TEST_F(EditorLaunchTest, ANameIsOneArgumentWhateverItHoldsAndNeverACommand) {
    SetString(kTable, "DefaultEditor", m_editor.Path());
    const std::string witness = m_fixture.Files() + "/injected";
    const std::string name = "x;touch${IFS}" + witness + "|$(touch " + witness + ")";
    ASSERT_EQ(m_doc->EditProfile(QString::fromStdString(name), "C"), 1);
    EXPECT_EQ(m_editor.WaitForArguments(), (Strings{kServerEntry, "edit", name, "C"}));
    EXPECT_FALSE(std::filesystem::exists(witness));
}

TEST_F(EditorLaunchTest, AClassWithBlanksIsOneArgument) {
    SetString(kTable, "DefaultEditor", m_editor.Path());
    ASSERT_EQ(m_doc->NewProfile("Class with\tblanks "), 1);
    EXPECT_EQ(m_editor.WaitForArguments(), (Strings{kServerEntry, "new", "Class with\tblanks "}));
}

TEST_F(EditorLaunchTest, NoEditorMissingEditorAndUnstartableEditorEachHaveTheirMessage) {
    EXPECT_EQ(m_doc->EditProfile("A", "B"), 0);
    EXPECT_EQ(m_doc->LastError(), 4141u);

    SetString(kTable + "\\B", "Editor", m_fixture.Files() + "/gone");
    EXPECT_EQ(m_doc->EditProfile("A", "B"), 0);
    EXPECT_EQ(m_doc->LastError(), 4142u);

    // A file that is there but is no program.
    SetString(kTable + "\\B", "Editor", m_fixture.Files());
    EXPECT_EQ(m_doc->NewProfile("B"), 0);
    EXPECT_EQ(m_doc->LastError(), 4143u);
    EXPECT_FALSE(m_editor.WasStarted());
}

}  // namespace
}  // namespace tlv::test
