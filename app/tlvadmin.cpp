#include "app/tlvadmin.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QScreen>

#include "about/aboutbox.h"
#include "about/misc.h"
#include "app/helpviewer.h"
#include "app/mainfrm.h"
#include "app/serverchoice.h"
#include "app/statusfr.h"
#include "app/windowplace.h"
#include "config/multinode.h"
#include "config/regfailure.h"
#include "config/registry.h"
#include "config/ui/assocbox.h"
#include "config/ui/changede.h"
#include "config/ui/chgsrve.h"
#include "config/ui/mndlg.h"
#include "framework/comn/comnmfc.h"
#include "framework/mdi/doctemplate.h"
#include "framework/mdi/mdichild.h"
#include "framework/modalseam.h"
#include "framework/widgets/errorbox.h"
#include "resources/commandids.h"
#include "resources/resourceids.h"
#include "resources/stringtable.h"
#include "s100/s100.h"
#include "session/admindoc.h"
#include "session/leveldialog.h"
#include "transfer/profiledir.h"
#include "views/adminvw.h"
#include "views/changele.h"
#include "views/overview.h"
#include "views/serverst.h"

namespace {

constexpr const char* kClientEnvironmentKey = "SOFTWARE\\Kestrova\\TLVS Client\\Environment";
constexpr const char* kRootPathValue = "RootPath";
constexpr const char* kHelpFileBelowRoot = "/Client/Admin/admin.hlp";

}  // namespace

// The icons live in a static library: its resources are registered before use.
static QIcon LoadApplicationIcon() {
    Q_INIT_RESOURCE(images);
    return QIcon(QStringLiteral(":/images/appicon.xpm"));
}

CAdminApp::CAdminApp() {
    ReadEnvironment();
    RegisterCommands();
    SetServerEntriesHooks({.showAbout = [](QWidget* owner) { RunAboutDlg(owner); },
                           .showHelpContents = [this](QWidget*) { OnHelpContents(); }});
}

CAdminApp::~CAdminApp() {
    SetServerEntriesHooks({});
    delete m_pOverview;  // its reads end before the library does
    // Sessions end with their documents, before the library does.
    CWinApp::ExitInstance();
    CTerror error = 0;
    CT_Shutdown(&error);
}

void CAdminApp::ReadEnvironment() {
    NT_RegKey clientEnvironment(HKEY_LOCAL_MACHINE, kClientEnvironmentKey, KEY_READ);
    NT_RegKey serverEnvironment(HKEY_LOCAL_MACHINE, kServerEnvironmentKey, KEY_READ);
    CTerror error = 0;
    CT_Initialize(&error);  // its result is not checked: a failing library fails each connect
    if (clientEnvironment.GetValue(kRootPathValue, helpPath.data(), kPathSize)) {
        // A path's bytes name a file the way the file system reads them.
        m_strHelpFilePath = QFile::decodeName(helpPath.data()) + kHelpFileBelowRoot;
    } else {
        CErrorBox(IDS_REGISTRY_ACCESS_FAILED, nullptr,
                  DetailsOfLines(
                      RegistryFailureDetails({kClientEnvironmentKey, kRootPathValue, kPathSize})))
            .DoModal();
    }
    // A path: the file system's bytes.
    SetProfileDirectory(
        serverEnvironment.GetValue("ProfileConfigPath", profilePath.data(), kPathSize)
            ? QFile::decodeName(profilePath.data())
            : QString());
    m_bMultinode = NT_RegKey(HKEY_LOCAL_MACHINE, kResourceNodeKey, KEY_READ).IsValid() != 0;
}

const QString& CAdminApp::GetProfileDirectory() const {
    return ApplicationProfileDirectory();
}

void CAdminApp::SetProfileDirectory(const QString& directory) {
    SetApplicationProfileDirectory(directory);
}

void CAdminApp::RegisterCommands() {
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommand(ID_PROFILE_ASSOCIATE, [this] { OnProfileAssociate(); });
    OnCommand(ID_PROFILE_CHANGEDEFAULT, [this] { OnProfileChangedefault(); });
    OnCommand(ID_CLIENT_CHANGESERVERINFO, [this] { OnClientChangeserverinfo(); });
    OnCommand(ID_CLIENT_SERVEROVERVIEW, [this] { OnClientServeroverview(); });
    OnCommand(
        ID_MULTINODE_CFG, [this] { OnMultinodeCfg(); }, [this] { return OnUpdateMultinodeCfg(); });
    OnCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
    OnCommand(ID_HELP_CONTENTS, [this] { OnHelpContents(); });
    OnCommand(ID_HELP_HOWTOUSEHELP, [this] { OnHelpHowtousehelp(); });
    OnCommand(ID_HELP_SEARCHFORHELPON, [this] { OnHelpSearchforhelpon(); });
}

bool CAdminApp::InitInstance() {
    m_pListTemplate = AddDocTemplate(std::make_unique<CMultiDocTemplate>(
        IDR_LISTVIEW, [] { return std::make_unique<CAdminDoc>(); },
        [](CMultiDocTemplate& docTemplate) { return new CMDIChildWnd(docTemplate); },
        [] { return new CAdminView; }));
    m_pStatusTemplate = AddDocTemplate(std::make_unique<CMultiDocTemplate>(
        IDR_STATUSVIEW, [] { return std::make_unique<CAdminDoc>(); },
        [](CMultiDocTemplate& docTemplate) { return new CStatusFrame(docTemplate); },
        [] { return new CServerStatus; }));
    InstallLevelDialog([](LevelDialogFields& fields) { return RunChangeLevel(fields, nullptr); });

    // Every window, the server windows included, shows the application icon.
    QApplication::setWindowIcon(LoadApplicationIcon());
    auto frame = std::make_unique<CMainFrame>(*this);
    if (!frame->LoadFrame(IDR_MAINFRAME))
        return false;
    CMainFrame& mainFrame = *frame;
    SetMainWnd(std::move(frame));
    // Where the operator left it, else the platform's default for an overlapped window: most of
    // the screen.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!RestoreWindowPlacement(mainFrame) && screen != nullptr)
        mainFrame.resize(screen->availableGeometry().size() * 3 / 4);
    mainFrame.show();
    return true;
}

void CAdminApp::OnFileOpen() {
    const ServerChoice choice = ReadServerChoice();
    if (choice.failureMessage == IDS_REGISTRY_ACCESS_FAILED) {
        CErrorBox(choice.failureMessage, nullptr,
                  DetailsOfLines(RegistryFailureDetails({kAdministrationTableKey})))
            .DoModal();
        return;
    }
    if (choice.failureMessage != 0) {
        CErrorBox(choice.failureMessage).DoModal();
        return;
    }
    CGetServerBox chooser(IDS_SELECT_SERVER_PROMPT, choice.names, nullptr);
    chooser.SetServerSelected(IDS_DEFAULT_SERVER);
    if (chooser.DoModal() == IDOK)
        OpenDocumentFile(QString::fromLatin1(chooser.GetServerSelected()));
}

CDocument* CAdminApp::OpenDocumentFile(const QString& serverEntryName) {
    return m_pListTemplate == nullptr ? nullptr
                                      : m_pListTemplate->OpenDocumentFile(serverEntryName, true);
}

void CAdminApp::OnProfileAssociate() {
    RunAssociate(GetMainWnd());
}

void CAdminApp::OnProfileChangedefault() {
    RunChangeDefaultEditor(GetMainWnd());
}

void CAdminApp::OnClientChangeserverinfo() {
    RunChangeServerEntries(nullptr);
}

void CAdminApp::OnClientServeroverview() {
    if (m_pOverview == nullptr) {
        m_pOverview = new CServerOverview(GetMainWnd(), [this](const QString& serverEntryName) {
            OpenDocumentFile(serverEntryName);
        });
    }
    m_pOverview->show();
    m_pOverview->raise();
    m_pOverview->activateWindow();
}

CServerOverview* CAdminApp::GetServerOverview() const {
    return m_pOverview.data();
}

void CAdminApp::OnMultinodeCfg() {
    CMultinodeDlg dialog(GetMainWnd());
    dialog.DoModal();
    if (dialog.ContainerPathWritten())
        m_bMultinode = true;
}

void CAdminApp::OnAppAbout() {
    DisplayAboutBox(IDR_MAINFRAME, QApplication::windowIcon(), GetMainWnd());
}

void CAdminApp::OnHelpContents() {
    WinHelp(m_strHelpFilePath, HELP_FINDER);
}

void CAdminApp::OnHelpHowtousehelp() {
    WinHelp(m_strHelpFilePath, HELP_HELPONHELP);
}

void CAdminApp::OnHelpSearchforhelpon() {
    WinHelp(m_strHelpFilePath, HELP_KEY);
}
