// "Change Server Entries" with its entry dialog, on a real registry file, answered through the
// scripted modal seam.

#include "config/ui/chgsrve.h"

#include <gtest/gtest.h>

#include <QAction>

#include "config/srvtable.h"
#include "config/ui/srvlistbox.h"
#include "tests/config/dialog_helpers.h"
#include "tests/config/regvalues.h"
#include "tests/registry/temp_registry.h"

namespace {

const std::string kAdmin = kAdministrationTableKey;
const std::string kStandard = kStandardTableKey;
constexpr unsigned kErrorBoxFlags = 0x1030;

RegValue Text(std::string name, std::string data) {
    return {std::move(name), REG_SZ, std::move(data)};
}

RegValue Number(std::string name, DWORD number) {
    return {std::move(name), REG_DWORD,
            std::string(reinterpret_cast<const char*>(&number), sizeof number)};
}

std::vector<ServerEntry> Entries(const CServerListBox& list) {
    return list.Entries().Entries();
}

class ChangeServerEntries : public ::testing::Test {
protected:
    void SetUp() override {
        CreateKey(kAdmin);
        CreateKey(kStandard);
    }

    TempRegistry m_registry;
    ScriptedModalSeam m_seam;
};

TEST_F(ChangeServerEntries, NewStandardEntryFromDefaultsIsSavedWithoutWarning) {
    SetString(kAdmin, "Main", "tcp:box:2020");
    SetNumber(kAdmin, "Flags", 3);
    CChangeSrvEntries dialog;
    EXPECT_EQ(dialog.windowTitle(), "Change Server Entries");
    EXPECT_EQ(Entries(dialog.AdministrationList()),
              (std::vector<ServerEntry>{{"Main", "tcp:box:2020"}}));

    ServerEntryFields shown;
    AnswerEntryDialog(m_seam, {}, &shown);
    Press(dialog, "standardNew");
    EXPECT_EQ(shown, (ServerEntryFields{"Untitled", "localhost", "2019"}));
    EXPECT_TRUE(m_seam.MessageTexts().empty());

    Press(dialog, "save");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ValuesOf(kStandard), (std::vector<RegValue>{Text("Untitled", "tcp:localhost:2019")}));
    // Rewritten as it was; a rewritten entry comes after the values that were kept.
    EXPECT_EQ(ValuesOf(kAdmin),
              (std::vector<RegValue>{Number("Flags", 3), Text("Main", "tcp:box:2020")}));
    EXPECT_TRUE(m_seam.MessageTexts().empty());
}

TEST_F(ChangeServerEntries, PortWarningDoesNotStopTheAddition) {
    CChangeSrvEntries dialog;
    AnswerEntryDialog(m_seam, {"Second", std::nullopt, "2019"});
    Press(dialog, "administrationNew");
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{"The server connection string provided did not use the "
                                        "default administration port number (2020)."}));
    EXPECT_EQ(m_seam.Events().back().caption, "Error");
    EXPECT_EQ(m_seam.Events().back().flags, kErrorBoxFlags);
    EXPECT_EQ(Entries(dialog.AdministrationList()),
              (std::vector<ServerEntry>{{"Second", "tcp:localhost:2019"}}));
}

TEST_F(ChangeServerEntries, SelectedEntryIsTheTemplateAndItsNameIsTaken) {
    SetString(kAdmin, "Main", "tcp:box:7000");
    CChangeSrvEntries dialog;
    dialog.AdministrationList().setCurrentRow(0);

    ServerEntryFields shown;
    AnswerEntryDialog(m_seam, {"Main"}, &shown);
    Press(dialog, "administrationNew");
    EXPECT_EQ(shown, (ServerEntryFields{"Untitled", "box", "7000"}));
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{
                  "The Server could not be added because a Server already exists by that name."}));
    EXPECT_EQ(Entries(dialog.AdministrationList()),
              (std::vector<ServerEntry>{{"Main", "tcp:box:7000"}}));
}

TEST_F(ChangeServerEntries, MalformedConnectionStringStopsNewAndEdit) {
    SetString(kStandard, "Bad", "box:2019");
    CChangeSrvEntries dialog;
    dialog.StandardList().setCurrentRow(0);
    Press(dialog, "standardNew");
    Press(dialog, "standardEdit");
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{"The server connection string is invalid.",
                                        "The server connection string is invalid."}));
    EXPECT_EQ(m_seam.Events().size(), 2u);  // no entry dialog was shown
    EXPECT_EQ(Entries(dialog.StandardList()), (std::vector<ServerEntry>{{"Bad", "box:2019"}}));
}

TEST_F(ChangeServerEntries, EditInPlaceRenameAndRefusedRename) {
    SetString(kStandard, "Alpha", "old:a:2019");
    SetString(kStandard, "Beta", "tcp:b:2019");
    CChangeSrvEntries dialog;
    CServerListBox& list = dialog.StandardList();

    // Double-click edits; the prefix before the first colon becomes "tcp:".
    list.setCurrentRow(0);
    ServerEntryFields shown;
    AnswerEntryDialog(m_seam, {std::nullopt, "a2"}, &shown);
    emit list.itemDoubleClicked(list.item(0));
    EXPECT_EQ(shown, (ServerEntryFields{"Alpha", "a", "2019"}));
    EXPECT_EQ(Entries(list),
              (std::vector<ServerEntry>{{"Alpha", "tcp:a2:2019"}, {"Beta", "tcp:b:2019"}}));

    list.setCurrentRow(0);
    AnswerEntryDialog(m_seam, {"Beta"});
    Press(dialog, "standardEdit");
    EXPECT_EQ(m_seam.MessageTexts().back(),
              "The Server could not be added because a Server already exists by that name.");

    list.setCurrentRow(0);
    AnswerEntryDialog(m_seam, {"Gamma"});
    Press(dialog, "standardEdit");
    EXPECT_EQ(Entries(list),
              (std::vector<ServerEntry>{{"Beta", "tcp:b:2019"}, {"Gamma", "tcp:a2:2019"}}));
    EXPECT_EQ(list.currentRow(), 1);

    // Nothing selected: Edit and Remove do nothing.
    list.clearSelection();
    Press(dialog, "standardEdit");
    Press(dialog, "standardRemove");
    EXPECT_EQ(list.count(), 2);
    list.setCurrentRow(0);
    Press(dialog, "standardRemove");
    EXPECT_EQ(Entries(list), (std::vector<ServerEntry>{{"Gamma", "tcp:a2:2019"}}));
    EXPECT_EQ(m_seam.MessageTexts().size(), 1u);
}

// A name and a computer that are not UTF-8 (Latin-1 bytes) are shown readably, and an entry
// edited with OK and nothing typed is saved byte for byte.
TEST_F(ChangeServerEntries, BytesThatAreNotUtf8SurviveEditWithoutAChange) {
    SetString(kStandard, "Caf\xE9", "tcp:h\xF4te:2019");
    CChangeSrvEntries dialog;
    CServerListBox& list = dialog.StandardList();
    EXPECT_EQ(list.item(0)->text(), "Caf\\xE9");

    list.setCurrentRow(0);
    ServerEntryFields shown;
    AnswerEntryDialog(m_seam, {}, &shown);
    Press(dialog, "standardEdit");
    EXPECT_EQ(shown, (ServerEntryFields{"Caf\\xE9", "h\\xF4te", "2019"}));
    EXPECT_TRUE(m_seam.MessageTexts().empty());
    EXPECT_EQ(Entries(list), (std::vector<ServerEntry>{{"Caf\xE9", "tcp:h\xF4te:2019"}}));

    Press(dialog, "save");
    EXPECT_EQ(ValuesOf(kStandard), (std::vector<RegValue>{Text("Caf\xE9", "tcp:h\xF4te:2019")}));
}

TEST_F(ChangeServerEntries, RefusalsShowTheirTextsAndLeaveTheListAlone) {
    CChangeSrvEntries dialog;
    AnswerEntryDialog(m_seam, {""});
    Press(dialog, "administrationNew");
    AnswerEntryDialog(m_seam, {"TLVS_Default_Server"});
    Press(dialog, "administrationNew");
    AnswerEntryDialog(m_seam, {std::string(100, 'n')});
    Press(dialog, "administrationNew");
    AnswerEntryDialog(m_seam, {"Long", std::string(91, 'c'), "2020"});
    Press(dialog, "administrationNew");
    AnswerEntryDialog(m_seam, {"Spaced", "my box"});
    Press(dialog, "administrationNew");
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{
                  "Server names cannot be blank.",
                  "This server name is reserved. Please try another name.",
                  "Server names cannot be longer than 99 characters.",
                  "Server connection strings cannot be longer than 99 characters.",
                  "Server connection strings cannot contain spaces.",
              }));
    EXPECT_EQ(dialog.AdministrationList().count(), 0);

    // Cancel in the entry dialog: nothing shown, nothing added.
    Press(dialog, "administrationNew");
    EXPECT_EQ(m_seam.MessageTexts().size(), 5u);
    EXPECT_EQ(dialog.AdministrationList().count(), 0);
}

TEST_F(ChangeServerEntries, MissingTableIsReportedAndTheOtherIsStillSaved) {
    DeleteKeyTree(kAdmin);
    SetString(kStandard, "Old", "tcp:o:2019");
    CChangeSrvEntries dialog;
    EXPECT_EQ(dialog.AdministrationList().count(), 0);
    EXPECT_TRUE(m_seam.MessageTexts().empty());

    AnswerEntryDialog(m_seam, {"Lost"});
    Press(dialog, "administrationNew");
    dialog.StandardList().setCurrentRow(0);
    Press(dialog, "standardRemove");
    Press(dialog, "save");
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{
                  "Registry information could not be accessed. Ensure that the Kestrova Telvane "
                  "Server Software has been installed correctly on this machine and try again."}));
    EXPECT_EQ(m_seam.MessageDetails(), std::vector<std::string>{"in " + m_registry.File() +
                                                                ": key " + kAdmin + " not found"});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(KeyExists(kAdmin));
    EXPECT_TRUE(ValuesOf(kStandard).empty());
}

TEST_F(ChangeServerEntries, AFailedSaveShowsTheUpdateErrorAndKeepsTheTable) {
    SetString(kStandard, "Old", "tcp:o:2019");
    const std::vector<RegValue> before = ValuesOf(kStandard);
    CChangeSrvEntries dialog;
    // An entry the store cannot hold, as if it had been read from another store.
    dialog.StandardList().Add({std::string(REG_MAX_VALUE_NAME + 1, 'n'), "tcp:n:2019"});
    Press(dialog, "save");
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{
                  "Unable to update information in the Registry. Ensure that the Kestrova Telvane "
                  "Server Software has been installed correctly on this machine and try again"}));
    EXPECT_EQ(m_seam.MessageDetails(),
              std::vector<std::string>{"in " + m_registry.File() + ": key " + kStandard +
                                       " could not be changed"});
    EXPECT_EQ(ValuesOf(kStandard), before);
}

TEST_F(ChangeServerEntries, CancelWritesNothing) {
    SetString(kStandard, "Old", "tcp:o:2019");
    const std::vector<RegValue> before = ValuesOf(kStandard);
    CChangeSrvEntries dialog;
    AnswerEntryDialog(m_seam, {"New"});
    Press(dialog, "standardNew");
    Press(dialog, "cancel");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.StandardList().count(), 0);
    EXPECT_EQ(ValuesOf(kStandard), before);
}

TEST_F(ChangeServerEntries, AboutItemAndHelpGoThroughTheApplicationsHooks) {
    {
        CChangeSrvEntries unhooked;
        EXPECT_FALSE(Child<QAction>(unhooked, "about").isEnabled());
        EXPECT_FALSE(Child<QPushButton>(unhooked, "help").isEnabled());
    }
    std::vector<std::string> calls;
    SetServerEntriesHooks({[&](QWidget* owner) { calls.push_back(owner ? "about" : "about?"); },
                           [&](QWidget* owner) { calls.push_back(owner ? "help" : "help?"); }});
    {
        CChangeSrvEntries dialog;
        EXPECT_EQ(dialog.contextMenuPolicy(), Qt::ActionsContextMenu);
        const QList<QAction*> items = dialog.actions();
        ASSERT_EQ(items.size(), 2);
        EXPECT_TRUE(items[0]->isSeparator());
        EXPECT_EQ(items[1]->text(), "Hi!");
        items[1]->trigger();
        Press(dialog, "help");
    }
    SetServerEntriesHooks({});
    EXPECT_EQ(calls, (std::vector<std::string>{"about", "help"}));
}

TEST_F(ChangeServerEntries, TheApplicationsEntryRunsTheDialogModally) {
    m_seam.ExpectDialog([this](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Change Server Entries");
        AnswerEntryDialog(m_seam, {"Lab"});
        Press(dialog, "administrationNew");
        Press(dialog, "save");
        return ModalResultOf(dialog.result());
    });
    RunChangeServerEntries();
    EXPECT_EQ(ValuesOf(kAdmin), (std::vector<RegValue>{Text("Lab", "tcp:localhost:2020")}));
    EXPECT_EQ(m_seam.PendingDialogs(), 0u);
}

}  // namespace
