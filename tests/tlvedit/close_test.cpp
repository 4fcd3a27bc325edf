// Closing the window: unsaved changes are saved, discarded or kept on the operator's word.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "framework/testing/scriptedmodalseam.h"
#include "tests/tlvedit/editor_server.h"
#include "tests/tlvedit/editor_typing.h"
#include "tools/tlvedit/contentscheck.h"
#include "tools/tlvedit/tlvedit_app.h"
#include "tools/tlvedit/unsavedbox.h"

namespace {

using tlv::test::kEditorEntry;

enum class Answer { Save, Discard, Cancel };

class EditorCloseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.IsReady());
        EditorRequest request;
        request.entry = kEditorEntry;
        request.mode = EditMode::New;
        request.profileClass = "Application";
        m_start = StartEditor(request);
        ASSERT_TRUE(m_start.window);
        m_start.window->show();
    }

    CProfileEditorWnd& Window() { return *m_start.window; }

    // The next close question is answered by pressing the button; its text is kept.
    void Answer(Answer answer) {
        m_seam.ExpectDialog([this, answer](QDialog& dialog) {
            auto& box = dynamic_cast<CUnsavedChangesBox&>(dialog);
            m_question = box.findChild<QLabel*>()->text();
            QPushButton* button = answer == Answer::Save      ? box.SaveButton()
                                  : answer == Answer::Discard ? box.DiscardButton()
                                                              : box.CancelButton();
            button->click();
            return ModalResultOf(dialog.result());
        });
    }

    bool Stored(const QString& name) {
        ProfileConnection reader{QString::fromLatin1(kEditorEntry)};
        s100::KVSet contents;
        return reader.Load(name, QStringLiteral("Application"), contents) == CTerr_NoError;
    }

    tlv::test::EditorServer m_server;
    ScriptedModalSeam m_seam;
    EditorStart m_start;
    QString m_question;
};

TEST_F(EditorCloseTest, ClosesWithoutAskingWhenNothingChanged) {
    EXPECT_TRUE(Window().close());
    EXPECT_TRUE(m_seam.Events().empty());
}

TEST_F(EditorCloseTest, CancelKeepsTheWindowAndTheText) {
    Window().NameField()->setText(QStringLiteral("Sales"));
    Answer(Answer::Cancel);
    EXPECT_FALSE(Window().close());
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(m_question, QStringLiteral("The profile \"Sales\" has changes that have not been "
                                         "saved.\nSave them before closing?"));
    ASSERT_EQ(m_seam.Events().size(), 1u);
    EXPECT_EQ(m_seam.Events()[0].caption, QStringLiteral("Profile Editor"));
    EXPECT_EQ(Window().NameField()->text(), QStringLiteral("Sales"));
    EXPECT_FALSE(Stored(QStringLiteral("Sales")));
}

TEST_F(EditorCloseTest, DiscardClosesWithoutSaving) {
    Window().NameField()->setText(QStringLiteral("Sales"));
    Answer(Answer::Discard);
    EXPECT_TRUE(Window().close());
    EXPECT_EQ(m_seam.PendingDialogs(), 0u);
    EXPECT_FALSE(Stored(QStringLiteral("Sales")));
}

TEST_F(EditorCloseTest, SaveSavesThenCloses) {
    Window().NameField()->setText(QStringLiteral("Sales"));
    TypeContents(*Window().ContentsField(), QStringLiteral("{ KEY_AsiName: \"A1\" }"));
    Answer(Answer::Save);
    EXPECT_TRUE(Window().close());
    EXPECT_TRUE(Stored(QStringLiteral("Sales")));
    EXPECT_TRUE(m_seam.MessageTexts().empty());
}

TEST_F(EditorCloseTest, SaveThatCannotBeDoneKeepsTheWindowOpen) {
    // Changed, but with a name that cannot be saved: the reason is shown, nothing closes.
    TypeContents(*Window().ContentsField(), QStringLiteral("{ KEY_AsiName: \"A1\" }"));
    Answer(Answer::Save);
    EXPECT_FALSE(Window().close());
    EXPECT_EQ(m_question, QStringLiteral("The profile \"Untitled\" has changes that have not been "
                                         "saved.\nSave them before closing?"));
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{"The profile name must be non-empty and must not contain "
                                        "space characters."}));
    EXPECT_TRUE(Window().isVisible());
}

}  // namespace
