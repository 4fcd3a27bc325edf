#pragma once
// CChangeSrvEntries, "Change Server Entries": the administration and the standard server entry
// tables side by side, each with New, Edit and Remove; "&Save" writes both tables and closes,
// "&Cancel" closes without writing, "Help" opens the help contents.
//
// The "Hi!" item that other platforms put into the window's system menu is the dialog's context
// menu here (right-click anywhere on the dialog outside the buttons): a separator, then "Hi!",
// which runs the about dialog through the hook the application sets.

#include <QDialog>
#include <functional>

class CServerListBox;
class QGroupBox;

// What the dialog needs from the application and cannot know itself. A hook that is not set
// leaves its item or button disabled.
struct ServerEntriesHooks {
    std::function<void(QWidget* owner)> showAbout;         // the plain about dialog, modal
    std::function<void(QWidget* owner)> showHelpContents;  // the help file at its contents
};
void SetServerEntriesHooks(ServerEntriesHooks hooks);

class CChangeSrvEntries final : public QDialog {
    Q_OBJECT

public:
    // Loads the administration table, then the standard table.
    explicit CChangeSrvEntries(QWidget* parent = nullptr);

    CServerListBox& AdministrationList() { return *m_wndAdministration; }
    CServerListBox& StandardList() { return *m_wndStandard; }

    // The operations on one table; the key path also tells which table it is.
    void LoadServerList(const char* keyPath, CServerListBox& list);
    void SaveServerList(const char* keyPath, CServerListBox& list);
    void NewServer(const char* keyPath, CServerListBox& list);
    void EditServer(const char* keyPath, CServerListBox& list);
    void RemoveServer(const char* keyPath, CServerListBox& list);
    static void ClearServerList(CServerListBox& list);

    // "&Save": both tables, then close with OK whatever the outcome.
    void OnSave();
    // "&Cancel", Escape and the close button: the registry is left alone.
    void reject() override;

private:
    QGroupBox* MakeTablePane(const char* title, const char* keyPath, const char* objectPrefix,
                             CServerListBox& list);
    void AddAboutItem();

    CServerListBox* m_wndAdministration;
    CServerListBox* m_wndStandard;
};

// The body of the application's "&Edit Server Entries" command: runs the dialog modally.
void RunChangeServerEntries(QWidget* parent = nullptr);
