// The editor against a real tlvsd: opening, saving new and edited profiles, the server's
// refusals in plain words. What cannot be connected to at all: connect_failures_test.cpp.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "framework/testing/scriptedmodalseam.h"
#include "framework/testing/scriptedwaitingbox.h"
#include "session/admsess.h"
#include "tests/tlvedit/editor_server.h"
#include "tests/tlvedit/editor_typing.h"
#include "tools/tlvedit/contentscheck.h"
#include "tools/tlvedit/tlvedit_app.h"

namespace {

using tlv::test::kEditorEntry;

const QString kClass = QStringLiteral("Application");
const QString kContents = QStringLiteral(
    "{ KEY_AsiList: [ { KEY_AsiName: \"A1\" KEY_AsiGroupSet: \"GS1\" } ]\n"
    "  KEY_GroupSets: [ [ \"GS1\" \"R1\" ] ]\n"
    "  KEY_Resources: [ \"R1=board1\" ] KEY_AsiDefaultConfig: 7 }");

s100::KVSet Parsed(const QString& text) {
    ContentsCheck check = CheckContents(text);
    EXPECT_TRUE(check.contents) << check.error.text();
    return check.contents.value_or(s100::KVSet{});
}

EditorRequest Request(EditMode mode, const std::string& name = "",
                      const std::string& profileClass = "Application") {
    EditorRequest request;
    request.entry = kEditorEntry;
    request.mode = mode;
    request.name = name;
    request.profileClass = profileClass;
    return request;
}

class EditorServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.IsReady()); }

    // The stored contents, read through a session of its own.
    CTerror Stored(const QString& name, s100::KVSet& contents) {
        ProfileConnection reader{QString::fromLatin1(kEditorEntry)};
        EXPECT_EQ(reader.ConnectError(), CTerr_NoError);
        return reader.Load(name, kClass, contents);
    }
    void Store(const QString& name, const QString& text) {
        ProfileConnection writer{QString::fromLatin1(kEditorEntry)};
        ASSERT_EQ(writer.Add(name, kClass, Parsed(text)), CTerr_NoError);
    }

    tlv::test::EditorServer m_server;
    ScriptedModalSeam m_seam;
};

TEST_F(EditorServerTest, NewProfileIsSavedWithExactlyTheParsedContentsThenEdited) {
    EditorStart start = StartEditor(Request(EditMode::New));
    ASSERT_TRUE(start.window);
    CProfileEditorWnd& window = *start.window;
    EXPECT_EQ(window.ContentsField()->toPlainText(), QStringLiteral("{ }"));
    window.NameField()->setText(QStringLiteral("Sales"));
    TypeContents(*window.ContentsField(), kContents);
    ASSERT_TRUE(window.Save());
    EXPECT_TRUE(m_seam.Events().empty());

    s100::KVSet stored;
    ASSERT_EQ(Stored(QStringLiteral("Sales"), stored), CTerr_NoError);
    EXPECT_EQ(stored, Parsed(kContents));

    // The window now edits the saved profile: a second save updates it.
    EXPECT_EQ(window.Mode(), EditMode::Edit);
    EXPECT_TRUE(window.NameField()->isReadOnly());
    EXPECT_FALSE(window.IsModified());
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("Sales (Application) on Default_Server[*] - Profile Editor"));
    TypeContents(*window.ContentsField(), QStringLiteral("{ KEY_AsiName: \"changed\" }"));
    ASSERT_TRUE(window.Save());
    ASSERT_EQ(Stored(QStringLiteral("Sales"), stored), CTerr_NoError);
    EXPECT_EQ(stored, Parsed(QStringLiteral("{ KEY_AsiName: \"changed\" }")));
    EXPECT_TRUE(m_seam.Events().empty());
}

TEST_F(EditorServerTest, CtrlSSavesFromTheKeyboard) {
    EditorStart start = StartEditor(Request(EditMode::New));
    ASSERT_TRUE(start.window);
    start.window->show();
    start.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(start.window.get()));
    // At once after typing, before the check that waits for a pause in the typing has run.
    QTest::keyClicks(start.window->NameField(), QStringLiteral("Keyed"));
    QTest::keyClick(start.window->NameField(), Qt::Key_S, Qt::ControlModifier);
    s100::KVSet stored;
    EXPECT_EQ(Stored(QStringLiteral("Keyed"), stored), CTerr_NoError);
    EXPECT_EQ(start.window->Mode(), EditMode::Edit);
}

TEST_F(EditorServerTest, SavingANewProfileUnderAnExistingNameIsRefused) {
    Store(QStringLiteral("Sales"), QStringLiteral("{ KEY_AsiName: \"first\" }"));
    EditorStart start = StartEditor(Request(EditMode::New));
    ASSERT_TRUE(start.window);
    start.window->NameField()->setText(QStringLiteral("Sales"));
    TypeContents(*start.window->ContentsField(), kContents);
    EXPECT_FALSE(start.window->Save());
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{
                  "Unable to save the profile \"Sales\" of class \"Application\". A profile of "
                  "that name and class already exists on the server. Your changes are still in "
                  "the editor."}));
    // Nothing lost, nothing overwritten: the operator can pick another name.
    EXPECT_EQ(start.window->Mode(), EditMode::New);
    EXPECT_FALSE(start.window->NameField()->isReadOnly());
    EXPECT_EQ(start.window->ContentsField()->toPlainText(), kContents);
    EXPECT_TRUE(start.window->IsModified());
    s100::KVSet stored;
    ASSERT_EQ(Stored(QStringLiteral("Sales"), stored), CTerr_NoError);
    EXPECT_EQ(stored, Parsed(QStringLiteral("{ KEY_AsiName: \"first\" }")));
}

TEST_F(EditorServerTest, EditShowsTheStoredContentsAndSaveUpdatesThem) {
    Store(QStringLiteral("Sales"), kContents);
    EditorStart start = StartEditor(Request(EditMode::Edit, "Sales"));
    ASSERT_TRUE(start.window);
    CProfileEditorWnd& window = *start.window;
    EXPECT_EQ(window.ContentsField()->toPlainText(), ContentsText(Parsed(kContents)));
    EXPECT_EQ(window.NameField()->text(), QStringLiteral("Sales"));
    EXPECT_FALSE(window.IsModified());

    const QString changed = QStringLiteral("{ KEY_Resources: [ \"R1=board9\" ] }");
    TypeContents(*window.ContentsField(), changed);
    ASSERT_TRUE(window.Save());
    s100::KVSet stored;
    ASSERT_EQ(Stored(QStringLiteral("Sales"), stored), CTerr_NoError);
    EXPECT_EQ(stored, Parsed(changed));
    EXPECT_TRUE(m_seam.Events().empty());
}

TEST_F(EditorServerTest, UpdateOfAProfileRemovedMeanwhileIsReported) {
    Store(QStringLiteral("Sales"), kContents);
    EditorStart start = StartEditor(Request(EditMode::Edit, "Sales"));
    ASSERT_TRUE(start.window);
    {
        ECTF_AdminSession other(kEditorEntry);
        ASSERT_TRUE(other.IsOK());
        ASSERT_TRUE(other.RemoveProfile("Sales", "Application"));
    }
    TypeContents(*start.window->ContentsField(), QStringLiteral("{ }"));
    EXPECT_FALSE(start.window->Save());
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{
                  "Unable to save the profile \"Sales\" of class \"Application\". The profile no "
                  "longer exists on the server; it may have been removed. Your changes are still "
                  "in the editor."}));
    EXPECT_TRUE(start.window->IsModified());
}

TEST_F(EditorServerTest, ALostConnectionIsReportedAndKeepsTheText) {
    EditorStart start = StartEditor(Request(EditMode::New));
    ASSERT_TRUE(start.window);
    start.window->NameField()->setText(QStringLiteral("Sales"));
    m_server.Server().kill();
    EXPECT_FALSE(start.window->Save());
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{
                  "Unable to save the profile \"Sales\" of class \"Application\". The connection "
                  "to the server has been lost, possibly because the Telvane Server has been shut "
                  "down. Your changes are still in the editor."}));
    EXPECT_EQ(start.window->Mode(), EditMode::New);
    EXPECT_TRUE(start.window->IsModified());
}

TEST_F(EditorServerTest, EditOfAMissingProfileEndsWithExitOne) {
    const EditorStart start = StartEditor(Request(EditMode::Edit, "Nobody"));
    EXPECT_FALSE(start.window);
    EXPECT_EQ(start.exitCode, kExitRefused);
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{"Unable to open the profile \"Nobody\" of class "
                                        "\"Application\". The server has no profile of that "
                                        "name and class."}));
}

TEST_F(EditorServerTest, ServiceDefinitionsAreNotEditedHere) {
    const EditorStart start = StartEditor(Request(EditMode::Edit, "Svc", "TLVS_Service"));
    EXPECT_FALSE(start.window);
    EXPECT_EQ(start.exitCode, kExitRefused);
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{
                  "Profiles of class TLVS_Service are Telvane Service definitions. Change them "
                  "with the service commands of the administration client."}));
}

}  // namespace

namespace {

TEST(EditorServerFaults, EachRefusalOfTheServerHasItsSentence) {
    const std::vector<std::pair<std::string, std::string>> refusals = {
        {"0x01600416",
         "The server could not store the change. Its disk may be full or its store damaged."},
        {"0x01600403", "The profile is larger or more deeply nested than the server accepts."},
        {"0x01600427", "The server refused the profile's name, class or contents as invalid."},
        {"0x01600499", "The server answered with the unexpected error 0x01600499."},
    };
    for (const auto& [code, reason] : refusals) {
        tlv::test::EditorServer server({"--fail", "AddProfile=" + code + "x1"});
        ASSERT_TRUE(server.IsReady());
        ScriptedModalSeam seam;
        EditorStart start = StartEditor(Request(EditMode::New));
        ASSERT_TRUE(start.window);
        start.window->NameField()->setText(QStringLiteral("Sales"));
        EXPECT_FALSE(start.window->Save());
        EXPECT_EQ(seam.MessageTexts(),
                  (std::vector<std::string>{
                      "Unable to save the profile \"Sales\" of class \"Application\". " + reason +
                      " Your changes are still in the editor."}));
        // The fault is used up: the same text now saves.
        EXPECT_TRUE(start.window->Save());
    }
}

// Giving up on a save the server does not answer closes the session: the editor says the
// profile may have been saved, the text stays, and the caption said so while it waited.
TEST(EditorServerFaults, GivingUpOnASlowSaveClosesTheSessionAndKeepsTheText) {
    tlv::test::EditorServer server({"--delay", "AddProfile=4000"});
    ASSERT_TRUE(server.IsReady());
    ScriptedModalSeam seam;
    ScriptedWaitingBox box;
    box.CancelWhenShown();
    EditorStart start = StartEditor(Request(EditMode::New));
    ASSERT_TRUE(start.window);
    start.window->NameField()->setText(QStringLiteral("Sales"));
    EXPECT_FALSE(start.window->Save());
    EXPECT_EQ(box.TimesShown(), 1);
    EXPECT_EQ(seam.MessageTexts(),
              (std::vector<std::string>{"You stopped waiting for " + std::string(kEditorEntry) +
                                        ", so the connection has been closed. The server may "
                                        "still have carried out the command: refresh the lists "
                                        "after connecting again to see what it did."}));
    EXPECT_TRUE(start.connection->WasCancelled());
    EXPECT_TRUE(start.window->IsModified());
    EXPECT_FALSE(start.window->windowTitle().contains("[Not Responding]"));
}

}  // namespace
