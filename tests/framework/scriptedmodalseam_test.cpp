#include "framework/testing/scriptedmodalseam.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>

#include "resources/stringtable.h"

namespace {

// A dialog in the shape of the program's: fields go into the controls when it is shown, OK
// checks them and keeps the dialog open on the first failure.
class EntryDialog final : public QDialog {
    Q_OBJECT

public:
    explicit EntryDialog(QWidget* parent = nullptr) : QDialog(parent), m_edit(new QLineEdit(this)) {
        setWindowTitle("Edit Server Entry");
    }

    QString m_strName = "Untitled";
    QLineEdit* m_edit;

    void accept() override {
        m_strName = m_edit->text();
        if (m_strName.isEmpty()) {
            Modal().MessageBox(StringTable::Load(IDS_SERVER_NAME_BLANK),
                               StringTable::Load(IDS_ERROR_CAPTION), 0x1030, this);
            return;
        }
        QDialog::accept();
    }

protected:
    void showEvent(QShowEvent* event) override {
        m_edit->setText(m_strName);
        QDialog::showEvent(event);
    }
};

// The error box of the application, as it is written on top of the seam.
int ErrorBox(unsigned id, QWidget* parent) {
    QWidget* owner = parent != nullptr ? parent->window() : QApplication::activeWindow();
    Modal().MessageBox(StringTable::Load(id), StringTable::Load(IDS_ERROR_CAPTION),
                       MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL, owner);
    return 1;
}

TEST(ScriptedModalSeam, InstallsItselfAndRestoresThePreviousSeam) {
    ModalSeam* before = &Modal();
    {
        ScriptedModalSeam seam;
        EXPECT_EQ(&Modal(), &seam);
        {
            ScriptedModalSeam inner;
            EXPECT_EQ(&Modal(), &inner);
        }
        EXPECT_EQ(&Modal(), &seam);
    }
    EXPECT_EQ(&Modal(), before);
}

TEST(ScriptedModalSeam, ScriptDrivesTheDialogAndEveryTextIsRecordedInOrder) {
    ScriptedModalSeam seam;
    seam.ExpectDialog([](QDialog& d) {
        auto& dialog = dynamic_cast<EntryDialog&>(d);
        EXPECT_EQ(dialog.m_edit->text(), "Untitled");  // shown before the script runs
        dialog.m_edit->clear();
        dialog.accept();  // refused: the dialog stays open
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        dialog.m_edit->setText("S1");
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    QWidget frame;
    EntryDialog dialog(&frame);

    EXPECT_EQ(Modal().RunDialog(dialog), IDOK);
    EXPECT_EQ(dialog.m_strName, "S1");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ErrorBox(IDS_PROFILE_INFO_FAILED, &frame), 1);

    const auto& events = seam.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, ModalEvent::Kind::Dialog);
    EXPECT_EQ(events[0].text, "EntryDialog");
    EXPECT_EQ(events[0].caption, "Edit Server Entry");
    EXPECT_EQ(events[0].owner, &frame);
    EXPECT_EQ(events[0].result, IDOK);
    EXPECT_EQ(events[1].kind, ModalEvent::Kind::MessageBox);
    EXPECT_EQ(events[1].caption, "Error");
    EXPECT_EQ(events[1].flags, 0x1030u);
    EXPECT_EQ(events[1].owner, &dialog);
    EXPECT_EQ(events[2].owner, &frame);
    EXPECT_EQ(events[2].flags, 0x1030u);
    EXPECT_EQ(seam.MessageTexts(),
              (std::vector<std::string>{"Server names cannot be blank.",
                                        StringTable::Text(IDS_PROFILE_INFO_FAILED)}));
    EXPECT_EQ(seam.PendingDialogs(), 0u);
}

TEST(ScriptedModalSeam, QueuedAnswersAreUsedInOrderThenTheDefaultButton) {
    ScriptedModalSeam seam;
    seam.AnswerMessageBox(IDCANCEL);
    seam.AnswerMessageBox(IDNO);

    EXPECT_EQ(Modal().MessageBox("first", "T", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(Modal().MessageBox("second", "T", MB_YESNO), IDNO);
    EXPECT_EQ(Modal().MessageBox("third", "T", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    Modal().MessageBeep(MB_ICONEXCLAMATION);

    const auto& events = seam.Events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_TRUE(events[0].scripted);
    EXPECT_TRUE(events[1].scripted);
    EXPECT_FALSE(events[2].scripted);
    EXPECT_EQ(events[3].kind, ModalEvent::Kind::Beep);
    EXPECT_EQ(events[3].flags, MB_ICONEXCLAMATION);
    EXPECT_EQ(seam.PendingAnswers(), 0u);
}

TEST(ScriptedModalSeam, DialogWithoutScriptIsCancelledAndMarked) {
    ScriptedModalSeam seam;
    EntryDialog dialog;

    EXPECT_EQ(Modal().RunDialog(dialog), IDCANCEL);

    ASSERT_EQ(seam.Events().size(), 1u);
    EXPECT_FALSE(seam.Events()[0].scripted);
    EXPECT_EQ(seam.Events()[0].result, IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(ScriptedModalSeam, ScriptsRunInQueueOrderAndOwnButtonCodesPassThrough) {
    ScriptedModalSeam seam;
    seam.ExpectDialog([](QDialog& d) {
        d.done(49197);
        return ModalResultOf(d.result());
    });
    seam.ExpectDialog([](QDialog& d) {
        d.reject();
        return ModalResultOf(d.result());
    });
    EntryDialog first, second;

    EXPECT_EQ(Modal().RunDialog(first), 49197);
    EXPECT_EQ(Modal().RunDialog(second), IDCANCEL);

    seam.Clear();
    EXPECT_TRUE(seam.Events().empty());
}

TEST(ScriptedModalSeam, FileDialogsRunThroughTheSameSeam) {
    ScriptedModalSeam seam;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    seam.ExpectDialog([&](QDialog& d) {
        auto& files = dynamic_cast<QFileDialog&>(d);
        files.selectFile(dir.filePath("Sales.ief"));
        d.accept();  // QFileDialog hides its accept(); the QDialog one dispatches to it
        return ModalResultOf(files.result());
    });
    QFileDialog files(nullptr, "Select File", dir.path(), "Profile Files (*.ief);;All files (*.*)");
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);

    ASSERT_EQ(Modal().RunDialog(files), IDOK);
    EXPECT_EQ(files.selectedFiles(), QStringList{dir.filePath("Sales.ief")});
    ASSERT_EQ(seam.Events().size(), 1u);
    EXPECT_EQ(seam.Events()[0].caption, "Select File");
}

}  // namespace

#include "scriptedmodalseam_test.moc"
