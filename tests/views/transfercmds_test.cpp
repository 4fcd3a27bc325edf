// Profile import and export from the list view against a real tlvsd: the enable rules and their
// menu and toolbar items, one export dialog per selected profile, the file names proposed and
// written, "&Browse" with the real file dialog, the import dialog's checks and the document's
// failures, UTF-8 paths, and a profile exported, removed and imported back.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/mdi/commandui.h"
#include "resources/commandids.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "tests/views/viewcmds_fixture.h"
#include "views/adminvw.h"

namespace tlv::test {
namespace {

using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

const std::string kExists = StringTable::Text(IDS_EXPORT_FILE_EXISTS);

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string FirstLine(const fs::path& path) {
    const std::string text = ReadFile(path);
    return text.substr(0, text.find('\n'));
}

QString Text(const fs::path& path) {
    return QString::fromStdString(path.string());
}

QLineEdit& Field(QDialog& dialog, const char* name) {
    auto* field = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(field, nullptr) << name;
    return *field;
}

QPushButton* Button(QDialog& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

// The file dialog's answer: the path typed into it, then its own accept.
int ChooseFile(QDialog& dialog, const QString& path) {
    dynamic_cast<QFileDialog&>(dialog).selectFile(path);
    dialog.accept();  // the file dialog's own checks run
    return ModalResultOf(dialog.result());
}

void ExpectProfileFileDialog(QDialog& dialog, QFileDialog::AcceptMode mode) {
    auto& files = dynamic_cast<QFileDialog&>(dialog);
    EXPECT_EQ(files.windowTitle(), "Select File");
    EXPECT_EQ(files.nameFilters(), (QStringList{"Profile Files (*.ief)", "All files (*)"}));
    EXPECT_EQ(files.selectedNameFilter(), "Profile Files (*.ief)");
    EXPECT_EQ(files.defaultSuffix(), "ief");
    EXPECT_EQ(files.acceptMode(), mode);
}

// Restores the working folder of the process on every way out.
class WorkingFolder final {
public:
    explicit WorkingFolder(const fs::path& folder) : m_saved(fs::current_path()) {
        fs::current_path(folder);
    }
    ~WorkingFolder() { fs::current_path(m_saved); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    fs::path m_saved;
};

class TransferCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.IsReady());
        m_files = fs::path(m_window.Fixture().Server().Files());
    }

    // The export dialog of the next profile: checks what it proposes, then the script.
    void ExpectExport(const std::string& name, const std::string& fileName,
                      std::function<int(QDialog&)> answer) {
        m_window.Seam().ExpectDialog([this, name, fileName, answer](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Export Profile");
            EXPECT_EQ(Field(dialog, "name").text().toStdString(), name);
            EXPECT_TRUE(Field(dialog, "name").isReadOnly());
            EXPECT_TRUE(Field(dialog, "class").isReadOnly());
            EXPECT_EQ(Field(dialog, "filename").text().toStdString(), fileName);
            EXPECT_EQ(dialog.focusWidget(), &Field(dialog, "filename"));
            EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 0);
            return answer(dialog);
        });
    }

    // The export dialog confirmed with the file name typed.
    void ExportTo(const std::string& name, const std::string& proposed, const QString& typed) {
        ExpectExport(name, proposed, [typed](QDialog& dialog) {
            Field(dialog, "filename").setText(typed);
            return PressButton(dialog, "OK");
        });
    }

    void ChooseInNextFileDialog(const QString& path) {
        m_window.Seam().ExpectDialog([path](QDialog& dialog) {
            ExpectProfileFileDialog(dialog, QFileDialog::AcceptOpen);
            return ChooseFile(dialog, path);
        });
    }

    // The import dialog confirmed with the proposals as they are.
    void AcceptImportProposals() {
        m_window.Seam().ExpectDialog([](QDialog& dialog) { return PressButton(dialog, "OK"); });
    }

    ListWindow m_window;
    fs::path m_files;
};

TEST_F(TransferCommands, ImportNeedsAConnectionExportAProfileSelected) {
    CMainFrame& frame = m_window.Fixture().Frame();
    EXPECT_TRUE(m_window.IsEnabled(ID_PROFILE_IMPORT));
    EXPECT_FALSE(m_window.IsEnabled(ID_PROFILE_EXPORT));

    m_window.Select({"Sales"});
    frame.GetCommandUI().UpdateStates();
    int buttons = 0;
    for (QAction* action : frame.GetToolBar()->actions()) {
        const unsigned id = action->property("tlvCommandId").toUInt();
        if (id == ID_PROFILE_IMPORT || id == ID_PROFILE_EXPORT) {
            ++buttons;
            EXPECT_TRUE(action->isEnabled()) << id;
            EXPECT_EQ(action->statusTip(),
                      id == ID_PROFILE_IMPORT
                          ? "Import a profile into the current server"
                          : "Export the selected profile from the current server");
        }
    }
    EXPECT_EQ(buttons, 2);

    m_window.Run(ID_VIEW_REPLACEABLESERVICES);
    m_window.Run(ID_VIEW_SELECTALL);
    EXPECT_TRUE(m_window.IsEnabled(ID_PROFILE_IMPORT));
    EXPECT_FALSE(m_window.IsEnabled(ID_PROFILE_EXPORT));
}

TEST_F(TransferCommands, ExportShowsOneDialogPerSelectedProfileInListOrder) {
    m_window.Select({"Support", "Sales", "Fax_Inbound"});
    ExpectExport("Fax_Inbound", "Fax_Inbo.ief", [&](QDialog& dialog) {
        QLineEdit& fileName = Field(dialog, "filename");
        QPushButton* ok = Button(dialog, "OK");
        fileName.setText("   ");
        EXPECT_FALSE(ok->isEnabled());
        fileName.setText("");
        EXPECT_FALSE(ok->isEnabled());
        fileName.setText(Text(m_files / "fax"));
        EXPECT_TRUE(ok->isEnabled());
        return PressButton(dialog, "OK");
    });
    ExpectExport("Sales", "Sales.ief",
                 [](QDialog& dialog) { return PressButton(dialog, "Cancel"); });
    ExportTo("Support", "Support.ief", Text(m_files / "support.txt"));

    ASSERT_TRUE(m_window.Run(ID_PROFILE_EXPORT));
    EXPECT_EQ(m_window.Shown(), Strings(3, "dialog Export Profile"));
    EXPECT_EQ(m_window.Seam().PendingDialogs(), 0u);
    EXPECT_EQ(FirstLine(m_files / "fax.ief"), "Fax_Inbound Application");
    EXPECT_EQ(FirstLine(m_files / "support.txt"), "Support Application");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_files), fs::directory_iterator()), 2);
    EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 1);
}

TEST_F(TransferCommands, TypedNamesStayBareAndGainTheExtensionOnlyWithoutADot) {
    WorkingFolder here(m_files);
    m_window.Select({"Support", "Sales", "Fax_Inbound"});
    ExpectExport("Fax_Inbound", "Fax_Inbo.ief", [](QDialog& d) { return PressButton(d, "OK"); });
    ExportTo("Sales", "Sales.ief", "backup");
    ExportTo("Support", "Support.ief", "my.backup");
    ASSERT_TRUE(m_window.Run(ID_PROFILE_EXPORT));
    EXPECT_EQ(m_window.Shown(), Strings(3, "dialog Export Profile"));
    EXPECT_EQ(FirstLine(m_files / "Fax_Inbo.ief"), "Fax_Inbound Application");
    EXPECT_EQ(FirstLine(m_files / "backup.ief"), "Sales Application");
    EXPECT_EQ(FirstLine(m_files / "my.backup"), "Support Application");
}

TEST_F(TransferCommands, AFailedExportIsReportedAndTheWalkGoesOn) {
    WriteFile(m_files / "taken.ief", "keep me");
    m_window.Select({"Sales", "Support"});
    ExportTo("Sales", "Sales.ief", Text(m_files / "taken"));
    ExportTo("Support", "Support.ief", Text(m_files / "support"));
    ASSERT_TRUE(m_window.Run(ID_PROFILE_EXPORT));
    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Export Profile", "box " + kExists, "dialog Export Profile"}));
    EXPECT_EQ(ReadFile(m_files / "taken.ief"), "keep me");
    EXPECT_EQ(FirstLine(m_files / "support.ief"), "Support Application");
    EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 1);
}

TEST_F(TransferCommands, BrowseExportsAtOnceAndTheProfileDirectoryFollowsTheFolderChosen) {
    const fs::path start = m_files / "start";
    const fs::path chosen = m_files / "Profil\xC3\xA9 \xC3\xBC";  // a UTF-8 folder name
    fs::create_directory(start);
    fs::create_directory(chosen);
    CAdminApp& app = m_window.Fixture().App();
    app.SetProfileDirectory(Text(start));
    auto browse = [](QDialog& dialog) {
        Button(dialog, "&Browse")->click();
        return ModalResultOf(dialog.result());
    };

    m_window.Select({"Sales", "Support"});
    ExpectExport("Sales", "Sales.ief", browse);
    m_window.Seam().ExpectDialog([&](QDialog& dialog) {
        ExpectProfileFileDialog(dialog, QFileDialog::AcceptSave);
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        EXPECT_EQ(files.directory().absolutePath(), Text(start));
        EXPECT_EQ(files.selectedFiles(), QStringList{Text(start / "Sales.ief")});
        return ChooseFile(dialog, Text(chosen / "Exported"));
    });
    // The second Browse starts in the folder chosen first; cancelling it keeps the dialog open.
    ExpectExport("Support", "Support.ief", [&](QDialog& dialog) {
        browse(dialog);
        EXPECT_EQ(dialog.result(), 0);
        return PressButton(dialog, "Cancel");
    });
    m_window.Seam().ExpectDialog([&](QDialog& dialog) {
        EXPECT_EQ(dynamic_cast<QFileDialog&>(dialog).directory().absolutePath(), Text(chosen));
        dialog.reject();
        return ModalResultOf(dialog.result());
    });

    ASSERT_TRUE(m_window.Run(ID_PROFILE_EXPORT));
    EXPECT_EQ(m_window.Shown(), (Strings{"dialog Export Profile", "dialog Select File",
                                         "dialog Export Profile", "dialog Select File"}));
    EXPECT_EQ(FirstLine(chosen / "Exported.ief"), "Sales Application");
    EXPECT_EQ(app.GetProfileDirectory(), Text(chosen));
    EXPECT_FALSE(fs::exists(start / "Sales.ief"));
}

TEST_F(TransferCommands, ImportProposesTheFileWordsChecksNameThenClassAndRefreshes) {
    const fs::path folder = m_files /
                            "\xC3\x9C"
                            "bernahme";  // a UTF-8 folder name
    fs::create_directory(folder);
    const fs::path file = folder / "main copy.ief";
    WriteFile(file, "  Main   Application\n{ }\n");
    m_window.Fixture().App().SetProfileDirectory(Text(folder));

    m_window.Seam().ExpectDialog([&](QDialog& dialog) {
        ExpectProfileFileDialog(dialog, QFileDialog::AcceptOpen);
        EXPECT_EQ(dynamic_cast<QFileDialog&>(dialog).directory().absolutePath(), Text(folder));
        EXPECT_EQ(dynamic_cast<QFileDialog&>(dialog).fileMode(), QFileDialog::ExistingFile);
        return ChooseFile(dialog, Text(file));
    });
    m_window.Seam().ExpectDialog([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Import Profile");
        EXPECT_EQ(Field(dialog, "filename").text(), Text(file));
        EXPECT_TRUE(Field(dialog, "filename").isReadOnly());
        EXPECT_EQ(Field(dialog, "name").text(), "Main");
        EXPECT_EQ(Field(dialog, "class").text(), "Application");
        EXPECT_EQ(dialog.focusWidget(), &Field(dialog, "name"));
        EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 0);
        Field(dialog, "name").setText("Main Copy");
        Field(dialog, "class").setText("");
        PressButton(dialog, "OK");
        EXPECT_EQ(dialog.result(), 0) << "stays open";
        Field(dialog, "name").setText("Main_Copy");
        PressButton(dialog, "OK");
        EXPECT_EQ(dialog.result(), 0) << "stays open";
        Field(dialog, "class").setText("Application");
        return PressButton(dialog, "OK");
    });

    ASSERT_TRUE(m_window.Run(ID_PROFILE_IMPORT));
    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Select File", "dialog Import Profile",
                       "box " + std::string(StringTable::Text(IDS_IMPORT_NAME_INVALID)),
                       "box " + std::string(StringTable::Text(IDS_IMPORT_CLASS_INVALID))}));
    const Strings names = m_window.Names();
    EXPECT_NE(std::find(names.begin(), names.end(), "Main_Copy"), names.end()) << "refreshed";
    EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 1);
}

TEST_F(TransferCommands, ImportFailuresAreReportedWithTheirOwnMessages) {
    // A pipe is no file to read: waiting for its writer would hang the program.
    const fs::path pipe = m_files / "pipe.ief";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    ChooseInNextFileDialog(Text(pipe));
    ASSERT_TRUE(m_window.Run(ID_PROFILE_IMPORT));

    WriteFile(m_files / "sales.ief", "Sales Application\n{ }\n");
    ChooseInNextFileDialog(Text(m_files / "sales.ief"));
    AcceptImportProposals();
    ASSERT_TRUE(m_window.Run(ID_PROFILE_IMPORT));

    // Binary junk proposes nothing; what the operator types is sent and the server refuses it.
    constexpr char kElfStart[] = "\x7F"
                                 "ELF\x02\x01\x01\0\0\0\x03\0>\0";
    WriteFile(m_files / "junk.ief", std::string(kElfStart, sizeof kElfStart - 1));
    ChooseInNextFileDialog(Text(m_files / "junk.ief"));
    m_window.Seam().ExpectDialog([](QDialog& dialog) {
        EXPECT_EQ(Field(dialog, "name").text(), "");
        EXPECT_EQ(Field(dialog, "class").text(), "");
        Field(dialog, "name").setText("Junk");
        Field(dialog, "class").setText("Application");
        return PressButton(dialog, "OK");
    });
    ASSERT_TRUE(m_window.Run(ID_PROFILE_IMPORT));

    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Select File",
                       "box " + std::string(StringTable::Text(IDS_IMPORT_FILE_OPEN_FAILED)),
                       "dialog Select File", "dialog Import Profile",
                       "box " + std::string(StringTable::Text(IDS_IMPORT_PROFILE_EXISTS)),
                       "dialog Select File", "dialog Import Profile",
                       "box " + std::string(StringTable::Text(IDS_IMPORT_INVALID_FILE))}));
}

TEST_F(TransferCommands, ImportWhileServicesAreShownLeavesTheServiceListAsItWas) {
    m_window.Run(ID_VIEW_REPLACEABLESERVICES);
    const Strings before = m_window.Names();
    ASSERT_NE(std::find(before.begin(), before.end(), "Reporter"), before.end());
    ASSERT_EQ(m_window.Other().DeleteService("Reporter"), 1);

    WriteFile(m_files / "new.ief", "Brand_New Application\n{ }\n");
    ChooseInNextFileDialog(Text(m_files / "new.ief"));
    AcceptImportProposals();
    ASSERT_TRUE(m_window.Run(ID_PROFILE_IMPORT));
    EXPECT_EQ(m_window.Shown(), (Strings{"dialog Select File", "dialog Import Profile"}));
    EXPECT_EQ(m_window.Names(), before);
    ASSERT_EQ(m_window.Other().RefreshProfileInfo(0), 1);
    const Strings profiles = Rows(m_window.Other().GetProfiles().get());
    EXPECT_NE(std::find(profiles.begin(), profiles.end(), "Brand_New|Application"), profiles.end());
    EXPECT_EQ(m_window.View().AreUpdatesEnabled(), 1);
}

TEST_F(TransferCommands, AProfileExportedRemovedAndImportedBackIsTheSame) {
    m_window.Select({"Sales"});
    ExportTo("Sales", "Sales.ief", Text(m_files / "Sales.ief"));
    ASSERT_TRUE(m_window.Run(ID_PROFILE_EXPORT));
    const std::string exported = ReadFile(m_files / "Sales.ief");
    ASSERT_EQ(FirstLine(m_files / "Sales.ief"), "Sales Application");

    m_window.Select({"Sales"});
    m_window.PressInNextDialog("OK");
    ASSERT_TRUE(m_window.Run(ID_PROFILE_REMOVE));
    Strings names = m_window.Names();
    ASSERT_EQ(std::find(names.begin(), names.end(), "Sales"), names.end());

    ChooseInNextFileDialog(Text(m_files / "Sales.ief"));
    AcceptImportProposals();
    ASSERT_TRUE(m_window.Run(ID_PROFILE_IMPORT));
    names = m_window.Names();
    ASSERT_NE(std::find(names.begin(), names.end(), "Sales"), names.end());

    m_window.Select({"Sales"});
    ExportTo("Sales", "Sales.ief", Text(m_files / "again.ief"));
    ASSERT_TRUE(m_window.Run(ID_PROFILE_EXPORT));
    EXPECT_EQ(ReadFile(m_files / "again.ief"), exported);
    EXPECT_EQ(m_window.Shown(),
              (Strings{"dialog Export Profile", "dialog Remove Profile(s)", "dialog Select File",
                       "dialog Import Profile", "dialog Export Profile"}));
}

TEST_F(TransferCommands, NamesThatAreNoPlainTextAreShownReadablyAndKeptByteForByte) {
    const std::string name = "Caf\xC3\xA9";         // UTF-8
    const std::string profileClass = "\xE9t\xE9";  // Latin-1: no UTF-8
    WriteFile(m_files / "cafe.ief", name + " " + profileClass + "\n{ }\n");
    ChooseInNextFileDialog(Text(m_files / "cafe.ief"));
    m_window.Seam().ExpectDialog([](QDialog& dialog) {
        EXPECT_EQ(Field(dialog, "name").text(), QString::fromUtf8("Caf\xC3\xA9"));
        EXPECT_EQ(Field(dialog, "class").text(), "\\xE9t\\xE9");
        return PressButton(dialog, "OK");
    });
    ASSERT_TRUE(m_window.Run(ID_PROFILE_IMPORT));

    // The list keeps the server's bytes one a character.
    m_window.Select({QString::fromLatin1(name.c_str()).toStdString()});
    ExportTo(name, name + ".ief", Text(m_files / "back.ief"));
    ASSERT_TRUE(m_window.Run(ID_PROFILE_EXPORT));
    EXPECT_EQ(FirstLine(m_files / "back.ief"), name + " " + profileClass);
}

}  // namespace
}  // namespace tlv::test
