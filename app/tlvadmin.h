#pragma once
// CAdminApp: the one application object. It reads the installation's environment from the
// registry, initialises the S.100 library, registers the document templates, opens the main
// frame, and carries the application-wide commands: connecting to a server, the profile editor
// associations, the multinode setup of the local server, help and the about box.

#include <QPointer>
#include <QString>
#include <array>

#include "framework/mdi/winapp.h"

class CDocument;
class CMultiDocTemplate;
class CServerOverview;

class CAdminApp final : public CWinApp {
public:
    // Reads the registry (message 4133 when the environment cannot be read) and calls
    // CT_Initialize.
    CAdminApp();
    // Closes every document, then CT_Shutdown.
    ~CAdminApp() override;

    // Templates and the main frame; false when the main frame could not be made.
    bool InitInstance() override;

    // Connect: the server chooser over the administration server table.
    void OnFileOpen();
    // Always a new document for the name, so one entry may be connected twice.
    CDocument* OpenDocumentFile(const QString& serverEntryName);

    // The profile editor associations: "&Associate..." and "Change &Default Editor...".
    void OnProfileAssociate();
    void OnProfileChangedefault();
    // "&Edit Server Entries": the server entry tables, modal, without parent.
    void OnClientChangeserverinfo();
    // "Server &Overview": every administration server at a glance, in a window of its own
    // (one, brought to the front when open); its rows open a server as connecting does.
    void OnClientServeroverview();
    CServerOverview* GetServerOverview() const;

    // "Configure for multinode...": the local server's multinode setup, enabled only while the
    // server is not known to be a server node.
    void OnMultinodeCfg();
    bool OnUpdateMultinodeCfg() const { return !m_bMultinode; }

    // The about box over the main window.
    void OnAppAbout();
    void OnHelpContents();
    void OnHelpHowtousehelp();
    void OnHelpSearchforhelpon();

    CMultiDocTemplate* GetListTemplate() const { return m_pListTemplate; }
    CMultiDocTemplate* GetStatusTemplate() const { return m_pStatusTemplate; }
    // Empty when the installation root could not be read.
    const QString& GetHelpFilePath() const { return m_strHelpFilePath; }
    // The profile directory of the run (transfer/profiledir.h): the export dialog's "&Browse"
    // moves it.
    const QString& GetProfileDirectory() const;
    void SetProfileDirectory(const QString& directory);
    bool IsMultinode() const { return m_bMultinode; }

private:
    static constexpr unsigned kPathSize = 2048;

    void ReadEnvironment();
    void RegisterCommands();

    CMultiDocTemplate* m_pListTemplate = nullptr;
    CMultiDocTemplate* m_pStatusTemplate = nullptr;
    bool m_bMultinode = false;
    QPointer<CServerOverview> m_pOverview;  // gone when closed
    QString m_strHelpFilePath;
    std::array<char, kPathSize> helpPath{};
    std::array<char, kPathSize> profilePath{};
};
