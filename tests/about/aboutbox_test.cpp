// DisplayAboutBox: the versions and names read from the registry with their fallbacks, and the
// file list of the installation root in folder and kind order with each file's version.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "about/aboutbox.h"
#include "config/registry.h"
#include "framework/testing/scriptedmodalseam.h"
#include "platform/version/projectversion.h"
#include "tests/config/regvalues.h"
#include "tests/registry/temp_registry.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kClientVersion = "SOFTWARE\\Kestrova\\TLVS Client\\CurrentVersion";
constexpr const char* kServerVersion = "SOFTWARE\\Kestrova\\TLVS Server\\CurrentVersion";
constexpr const char* kEnvironment = "SOFTWARE\\Kestrova\\TLVS Client\\Environment";
constexpr unsigned kAppTitleId = 128;

using Rows = std::vector<std::pair<std::string, std::string>>;

// What the box showed when it opened.
struct Shown {
    std::string appName, clientVersion, serverVersion, licensee, company;
    std::vector<std::string> headings;
    std::vector<int> widths;
    int listWidth = 0;
    Rows rows;
};

void DeleteValue(const char* key, const char* name) {
    NT_RegKey open(HKEY_LOCAL_MACHINE, key, KEY_ALL_ACCESS);
    ASSERT_EQ(open.DelValue(name), 1) << name;
}

std::string Label(QDialog& dialog, const char* name) {
    const auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text().toStdString() : "(missing)";
}

Shown RunAboutBox() {
    ScriptedModalSeam seam;
    Shown shown;
    seam.ExpectDialog([&shown](QDialog& dialog) {
        auto& box = dynamic_cast<CAboutBox&>(dialog);
        shown.appName = Label(box, "appName");
        shown.clientVersion = Label(box, "clientVersion");
        shown.serverVersion = Label(box, "serverVersion");
        shown.licensee = Label(box, "licensee");
        shown.company = Label(box, "company");
        EXPECT_EQ(box.m_strClientVersion.toStdString(), shown.clientVersion);
        QTreeWidget& list = *box.m_fileList;
        shown.listWidth = list.viewport()->width();
        for (int column = 0; column < list.columnCount(); ++column) {
            shown.headings.push_back(list.headerItem()->text(column).toStdString());
            shown.widths.push_back(list.columnWidth(column));
        }
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list.topLevelItem(row);
            shown.rows.emplace_back(item->text(0).toStdString(), item->text(1).toStdString());
        }
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
    DisplayAboutBox(kAppTitleId, QIcon(), nullptr);
    EXPECT_EQ(seam.PendingDialogs(), 0u);
    EXPECT_TRUE(seam.MessageTexts().empty());
    return shown;
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
    }
    void TearDown() override { unsetenv("LANG"); }

    void WriteVersions() {
        SetNumber(kClientVersion, "Major Version", 2);
        SetNumber(kClientVersion, "Minor Version", 1);
        SetNumber(kClientVersion, "ServicePack", 3);
        SetString(kClientVersion, "User Name", "Ada Operator");
        SetString(kClientVersion, "Company Name", "Kestrova Test Lab");
        SetNumber(kServerVersion, "Major Version", 4);
        SetNumber(kServerVersion, "Minor Version", 5);
    }

    fs::path Root() const { return fs::path(m_registry.Folder()) / "root"; }

    void Link(const std::string& folder, const std::string& name, const char* target) {
        fs::create_directories(Root() / folder);
        fs::create_symlink(target, Root() / folder / name);
    }

    void Script(const std::string& folder, const std::string& name) {
        fs::create_directories(Root() / folder);
        std::ofstream(Root() / folder / name) << "#!/bin/sh\n";
        chmod((Root() / folder / name).c_str(), 0755);
    }

    TempRegistry m_registry;
};

TEST_F(AboutBoxTest, VersionsAndNamesWithTheirFallbacks) {
    WriteVersions();
    Shown shown = RunAboutBox();
    EXPECT_EQ(shown.appName, "Kestrova Telvane Server Administration");
    EXPECT_EQ(shown.clientVersion, "2.1.3");
    EXPECT_EQ(shown.serverVersion, "4.5");
    EXPECT_EQ(shown.licensee, "Ada Operator");
    EXPECT_EQ(shown.company, "Kestrova Test Lab");

    DeleteValue(kClientVersion, "ServicePack");
    DeleteValue(kClientVersion, "Company Name");
    shown = RunAboutBox();
    EXPECT_EQ(shown.clientVersion, "2.1");
    EXPECT_EQ(shown.licensee, "Ada Operator");
    EXPECT_EQ(shown.company, "***");

    DeleteValue(kClientVersion, "Minor Version");
    DeleteValue(kServerVersion, "Major Version");
    shown = RunAboutBox();
    EXPECT_EQ(shown.clientVersion, "***");
    EXPECT_EQ(shown.serverVersion, "Server not locally installed");
}

TEST_F(AboutBoxTest, WithoutTheClientKeyNothingIsRead) {
    WriteVersions();
    DeleteKeyTree(kClientVersion);
    const Shown shown = RunAboutBox();
    EXPECT_EQ(shown.clientVersion, "***");
    EXPECT_EQ(shown.licensee, "***");
    EXPECT_EQ(shown.company, "***");
    EXPECT_EQ(shown.serverVersion, "Server not locally installed");  // though its key is there
}

TEST_F(AboutBoxTest, ListsTheRootsFoldersInOrderWithVersionsInTheUsersLanguage) {
    SetString(kEnvironment, "RootPath", Root().string());
    Link("Server/bin", "tlvsd", TLV_TLVSD);
    Link("Client/bin", "tlvreg", TLV_TLVREG);
    Script("Client/bin", "a");
    Link("Client/bin", "b.so", TLV_GERMAN_LIB);
    Link("Client/bin", "c.so", TLV_GERMAN_LIB);
    fs::create_directories(Root() / "Client/bin/plugins.so");  // a folder: never listed
    Link("Shared Files", "libgerman.so", TLV_GERMAN_LIB);
    std::ofstream(Root() / "Shared Files" / "readme.txt") << "not a program file";

    setenv("LANG", "de_DE.UTF-8", 1);
    Shown shown = RunAboutBox();
    EXPECT_EQ(shown.headings, (std::vector<std::string>{"File", "Version"}));
    EXPECT_EQ(shown.widths, (std::vector<int>{shown.listWidth / 2, shown.listWidth / 2}));
    ASSERT_EQ(shown.rows.size(), 6u);
    EXPECT_EQ(shown.rows[0], (std::pair<std::string, std::string>{"libgerman.so", "7.0-de"}));
    // Shared libraries before executables within a folder, each kind as the folder lists it.
    const Rows libraries(shown.rows.begin() + 1, shown.rows.begin() + 3);
    const Rows programs(shown.rows.begin() + 3, shown.rows.begin() + 5);
    EXPECT_TRUE(libraries == (Rows{{"b.so", "7.0-de"}, {"c.so", "7.0-de"}}) ||
                libraries == (Rows{{"c.so", "7.0-de"}, {"b.so", "7.0-de"}}));
    // A program without a version is listed with an empty one; ours fall back to US English.
    EXPECT_TRUE(programs == (Rows{{"a", ""}, {"tlvreg", kProjectVersion}}) ||
                programs == (Rows{{"tlvreg", kProjectVersion}, {"a", ""}}));
    EXPECT_EQ(shown.rows[5], (std::pair<std::string, std::string>{"tlvsd", kProjectVersion}));

    setenv("LANG", "fr_FR.UTF-8", 1);
    shown = RunAboutBox();
    ASSERT_EQ(shown.rows.size(), 6u);
    EXPECT_EQ(shown.rows[0].second, "7.0-us");
}

// Paths are bytes: a root in UTF-8 or in another encoding names its folders all the same.
// Names are shown as the client shows every byte string; only regular files are listed, so a
// FIFO named like a library is never opened (opening it would wait for a writer).
TEST_F(AboutBoxTest, ANonAsciiRootAndRegisteredNamesAreReadAsBytes) {
    WriteVersions();
    SetString(kClientVersion, "User Name", "Jos\xC3\xA9 Operator");
    SetString(kClientVersion, "Company Name", "Soci\xE9t\xE9 Test");
    setenv("LANG", "de_DE.UTF-8", 1);
    for (const std::string leaf : {"T\xC3\xA9l\xC3\xA9phonie", "T\xE9l\xE9phonie"}) {
        const fs::path root = Root() / leaf;
        fs::create_directories(root / "Client/bin");
        fs::create_symlink(TLV_GERMAN_LIB, root / "Client/bin/lib\xE9.so");
        ASSERT_EQ(mkfifo((root / "Client/bin/pipe.so").c_str(), 0755), 0);
        SetString(kEnvironment, "RootPath", root.string());

        const Shown shown = RunAboutBox();
        EXPECT_EQ(shown.licensee, "Jos\xC3\xA9 Operator");
        EXPECT_EQ(shown.company, "Soci\\xE9t\\xE9 Test");
        EXPECT_EQ(shown.rows, (Rows{{"lib\\xE9.so", "7.0-de"}})) << leaf;
    }
}

TEST_F(AboutBoxTest, WithoutARootOrFoldersTheListIsEmpty) {
    SetString(kEnvironment, "RootPath", (Root() / "absent").string());
    EXPECT_TRUE(RunAboutBox().rows.empty());
}

}  // namespace
