// The multinode dialogs offscreen, driven through the scripted modal seam, against a real
// registry file and a real tlvsd run as the "TLVS Server" service.
#include "config/ui/mndlg.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/multinode.h"
#include "framework/testing/scriptedmodalseam.h"
#include "tests/config/dialog_helpers.h"
#include "tests/config/regvalues.h"
#include "tests/scm/service_fixture.h"

namespace tlv::test {
namespace {

const char* kShutdownFirst =
    "Telvane Server must be completely shutdown before you can reconfigure for multinode. ";
const char* kFailed =
    "Reconfiguration of the Telvane Server for multinode has failed.\nTelvane may not be "
    "installed properly or the NT Registry may be corrupt.";
const char* kShareReminder =
    "Remember to share your symbol table directory (i.e. C:\\TelvaneServer).";
const char* kPassword = "pw-Zq81-secret";

// The closing message claims only what was done: the service's account was changed.
std::string Granted(const std::string& account) {
    return "The TLVS Server service will run as the account " + account + " from its next start.";
}

// Everything shown, one line each: "dialog CLASS", "beep", or the message box's text.
std::vector<std::string> Shown(const ScriptedModalSeam& seam) {
    std::vector<std::string> shown;
    for (const ModalEvent& event : seam.Events()) {
        if (event.kind == ModalEvent::Kind::Dialog)
            shown.push_back("dialog " + event.text.toStdString());
        else if (event.kind == ModalEvent::Kind::Beep)
            shown.push_back("beep");
        else
            shown.push_back(event.text.toStdString());
    }
    return shown;
}

// Makes every later write of the value name fail inside the registry file itself.
void FailWritesOfValue(const std::string& registryFile, const std::string& foldedName) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(registryFile.c_str(), &db), SQLITE_OK);
    const std::string sql = "CREATE TRIGGER refuse_" + foldedName +
                            " BEFORE INSERT ON key_values WHEN CAST(NEW.name_folded AS TEXT) = '" + foldedName +
                            "' BEGIN SELECT RAISE(ABORT, 'refused'); END";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// Answers the warning dialog with the button after checking its texts.
void AnswerWarning(ScriptedModalSeam& seam, const char* button) {
    seam.ExpectDialog([button](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Telvane Server Multinode Configuration");
        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            texts.append(label->text());
        EXPECT_EQ(texts.size(), 3);
        EXPECT_EQ(texts.value(0), "Clicking OK will configure the Telvane Server as a Server Node.\n");
        EXPECT_TRUE(texts.value(1).startsWith("NOTE: Once Telvane Server has been configured"));
        EXPECT_TRUE(texts.value(2).endsWith("installing the appropriate option on a separate machine.)"));
        EXPECT_TRUE(Child<QPushButton>(dialog, "cancel").isDefault());
        EXPECT_FALSE(Child<QPushButton>(dialog, "ok").isDefault());
        Press(dialog, button);
        return ModalResultOf(dialog.result());
    });
}

class MultinodeDialog : public ::testing::Test {
protected:
    void SetUp() override {
        const char* domain = getenv("USERDOMAIN");
        m_savedDomain = domain == nullptr ? std::nullopt : std::optional<std::string>(domain);
        setenv("USERDOMAIN", "KESTROVA", 1);
        m_account = "KESTROVA\\" + ServiceFixture::CurrentUser();
        m_fixture.InstallServer();
        SetString(kServerEnvironmentKey, "ProfileConfigPath", "/srv/profiles");
    }
    void TearDown() override {
        if (m_savedDomain)
            setenv("USERDOMAIN", m_savedDomain->c_str(), 1);
        else
            unsetenv("USERDOMAIN");
    }

    // Runs the dialog: types the path, account and password, presses OK and answers the
    // warning with OK; the dialog's result.
    int RunConfigured(CMultinodeDlg& dialog, const std::string& path, const std::string& account) {
        m_seam.ExpectDialog([&](QDialog& shown) {
            Child<QLineEdit>(shown, "containerPath").setText(QString::fromStdString(path));
            Child<QLineEdit>(shown, "account").setText(QString::fromStdString(account));
            Child<QLineEdit>(shown, "password").setText(kPassword);
            AnswerWarning(m_seam, "ok");
            Press(shown, "ok");
            return ModalResultOf(shown.result());
        });
        return dialog.DoModal();
    }

    std::string ObjectName() {
        return ValuesOf(ServiceFixture::KeyOf(kServerServiceName)).at(1).data;
    }

    ServiceFixture m_fixture;
    ScriptedModalSeam m_seam;
    std::string m_account;
    std::optional<std::string> m_savedDomain;
};

TEST_F(MultinodeDialog, RefusedUnlessTheServerIsCompletelyStopped) {
    ASSERT_EQ(m_fixture.Manager().StartAService(kServerServiceName), SCM_Success);
    {
        CMultinodeDlg dialog;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    ASSERT_EQ(m_fixture.Manager().StopAService(kServerServiceName), SCM_Success);
    ASSERT_EQ(m_fixture.Manager().RemoveService(kServerServiceName), SCM_Success);
    {
        CMultinodeDlg dialog;  // not installed at all
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    EXPECT_EQ(Shown(m_seam), (std::vector<std::string>{kShutdownFirst, kShutdownFirst}));
    EXPECT_FALSE(KeyExists(kResourceNodeKey));
}

TEST_F(MultinodeDialog, ChecksThePathConfirmsAndConfiguresTheServerNode) {
    CreateKey(kServerSmpKey);
    CMultinodeDlg dialog;
    m_seam.ExpectDialog([&](QDialog& shown) {
        auto& path = Child<QLineEdit>(shown, "containerPath");
        EXPECT_EQ(path.text(), "\\\\ResourceComputerName\\TelvaneServer\\server\\cont\\");
        EXPECT_EQ(Child<QLineEdit>(shown, "account").text(), "KESTROVA\\Telvane");
        EXPECT_EQ(Child<QLineEdit>(shown, "password").echoMode(), QLineEdit::Password);
        EXPECT_FALSE(Child<QPushButton>(shown, "ok").isDefault());
        EXPECT_FALSE(Child<QPushButton>(shown, "cancel").isDefault());

        for (const char* refused : {"\\\\", "", "NODE\\share", "\\NODE", "\\\\\\  "}) {
            path.setText(QString::fromLatin1(refused));
            Child<QLineEdit>(shown, "account").setFocus();
            Press(shown, "ok");
            EXPECT_EQ(shown.result(), 0) << refused;
            EXPECT_EQ(shown.focusWidget(), &path) << refused;
            EXPECT_EQ(path.selectedText(), path.text()) << refused;
        }
        path.setText("\\\\\\NODE7\\TelvaneServer\\server\\cont\\ \t ");
        Child<QLineEdit>(shown, "account").setText(QString::fromStdString(m_account));
        Child<QLineEdit>(shown, "password").setText(kPassword);
        // Cancel in the warning changes nothing and keeps the dialog open.
        AnswerWarning(m_seam, "cancel");
        Press(shown, "ok");
        EXPECT_EQ(shown.result(), 0);
        EXPECT_EQ(ObjectName(), "LocalSystem");
        EXPECT_FALSE(KeyExists(kResourceNodeKey));

        AnswerWarning(m_seam, "ok");
        Press(shown, "ok");
        return ModalResultOf(shown.result());
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(Shown(m_seam),
              (std::vector<std::string>{"dialog CMultinodeDlg", "beep", "beep", "beep", "beep",
                                        "beep", "dialog CMultinodeWrnDlg",
                                        "dialog CMultinodeWrnDlg", Granted(m_account),
                                        kShareReminder}));
    EXPECT_TRUE(dialog.ContainerPathWritten());
    EXPECT_EQ(ObjectName(), m_account);
    EXPECT_EQ(ValuesOf(kResourceNodeKey), (std::vector<RegValue>{{"1", REG_SZ, "NODE7"}}));
    EXPECT_EQ(ValuesOf(kServerEnvironmentKey).at(1),
              (RegValue{"ContainerPath", REG_SZ, "\\\\\\NODE7\\TelvaneServer\\server\\cont\\"}));
    EXPECT_EQ(ValuesOf(kServerSmpKey).size(), 1u);
    for (const char* suffix : {"", "-wal"})
        EXPECT_EQ(FileBytes(m_fixture.RegistryFile() + suffix).find(kPassword), std::string::npos);
}

TEST_F(MultinodeDialog, BrowseKeepsThePathForALocalFolderAndCancelKeepsIt) {
    CMultinodeDlg dialog;
    const QString folder = QString::fromStdString(m_fixture.Folder());
    m_seam.ExpectDialog([&](QDialog& shown) {
        auto& path = Child<QLineEdit>(shown, "containerPath");
        EXPECT_EQ(path.cursorPosition(), 0);  // the start of the path is in view
        path.setText("\\\\KEPT\\cont");
        m_seam.ExpectDialog([](QDialog& browser) {
            EXPECT_EQ(browser.windowTitle(), "Select Directory");
            browser.reject();
            return ModalResultOf(browser.result());
        });
        Press(shown, "browse");
        EXPECT_EQ(path.text(), "\\\\KEPT\\cont");
        m_seam.ExpectDialog([&folder](QDialog& browser) {
            auto& files = dynamic_cast<QFileDialog&>(browser);
            EXPECT_EQ(files.fileMode(), QFileDialog::Directory);
            files.setDirectory(folder);
            files.selectFile(folder);
            browser.accept();
            return ModalResultOf(browser.result());
        });
        Press(shown, "browse");
        // A temporary folder is on no share: it could never pass the check of OK.
        EXPECT_EQ(path.text(), "\\\\KEPT\\cont");
        Press(shown, "cancel");
        return ModalResultOf(shown.result());
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(m_seam.MessageTexts(),
              std::vector<std::string>{"The folder " + folder.toStdString() +
                                       " is not on a network share. The Containers must be on "
                                       "the share of the Resource Node: choose a folder of a "
                                       "mounted CIFS or NFS share, or type its UNC path."});
    EXPECT_FALSE(dialog.ContainerPathWritten());
    EXPECT_EQ(ObjectName(), "LocalSystem");
}

TEST_F(MultinodeDialog, AnUnknownAccountCanBeCorrectedAndAMissingSmpKeyStillSucceeds) {
    CMultinodeDlg dialog;
    m_seam.ExpectDialog([&](QDialog& shown) {
        Child<QLineEdit>(shown, "containerPath").setText("\\\\NODE\\cont");
        Child<QLineEdit>(shown, "account").setText("KESTROVA\\nobody-here-x7");
        AnswerWarning(m_seam, "ok");
        Press(shown, "ok");
        EXPECT_EQ(shown.result(), 0);
        EXPECT_FALSE(KeyExists(kResourceNodeKey));
        Child<QLineEdit>(shown, "account").setText(QString::fromStdString(m_account));
        AnswerWarning(m_seam, "ok");
        Press(shown, "ok");
        return ModalResultOf(shown.result());
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{
                  "The specified service account does not exist. Please select another account.",
                  Granted(m_account), kShareReminder}));
    EXPECT_FALSE(KeyExists(kServerSmpKey));
    EXPECT_TRUE(dialog.ContainerPathWritten());
}

TEST_F(MultinodeDialog, ARegistryFailureAfterTheAccountChangeIsReportedBeforeTheReminders) {
    CreateKey(kServerSmpKey);
    FailWritesOfValue(m_fixture.RegistryFile(), "REMOTECP");
    {
        CMultinodeDlg dialog;
        EXPECT_EQ(RunConfigured(dialog, "\\\\NODE\\cont", m_account), IDOK);
        // The container path was written before the failing value: the server is a node now.
        EXPECT_TRUE(dialog.ContainerPathWritten());
    }
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{kFailed, Granted(m_account), kShareReminder}));
    EXPECT_EQ(ObjectName(), m_account);

    // Without the environment key the setup succeeds but the path is not written.
    m_seam.Clear();
    DeleteKeyTree(kServerEnvironmentKey);
    DeleteKeyTree(kServerSmpKey);
    CMultinodeDlg second;
    EXPECT_EQ(RunConfigured(second, "\\\\NODE\\cont", m_account), IDOK);
    EXPECT_FALSE(second.ContainerPathWritten());
    EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{Granted(m_account), kShareReminder}));
}

}  // namespace
}  // namespace tlv::test
