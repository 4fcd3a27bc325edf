#include "about/aboutbox.h"

#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QTreeWidget>
#include <array>
#include <cstdlib>
#include <vector>

#include "about/aboutres.h"
#include "config/registry.h"
#include "framework/bytetext.h"
#include "framework/modalseam.h"
#include "platform/files/findfile.h"
#include "platform/version/userlocale.h"
#include "platform/version/verapi.h"
#include "resources/stringtable.h"

namespace {

constexpr const char* kClientVersionKey = "SOFTWARE\\Kestrova\\TLVS Client\\CurrentVersion";
constexpr const char* kServerVersionKey = "SOFTWARE\\Kestrova\\TLVS Server\\CurrentVersion";
constexpr const char* kClientEnvironmentKey = "SOFTWARE\\Kestrova\\TLVS Client\\Environment";
constexpr DWORD kRegisteredNameBytes = 1024;
constexpr DWORD kRootPathBytes = MAX_PATH + 1;  // 260 characters and the NUL

const QString kNotRead = QStringLiteral("***");
const QString kServerNotInstalled = QStringLiteral("Server not locally installed");

// "Major Version" and "Minor Version" as "%i.%i", with ".%i" of "ServicePack" when asked and
// present; empty when either of the first two cannot be read.
QString ReadVersion(NT_RegKey& key, bool withServicePack) {
    DWORD major = 0;
    DWORD minor = 0;
    if (!key.GetValue("Major Version", &major) || !key.GetValue("Minor Version", &minor))
        return {};
    QString version =
        QStringLiteral("%1.%2").arg(static_cast<int>(major)).arg(static_cast<int>(minor));
    DWORD servicePack = 0;
    if (withServicePack && key.GetValue("ServicePack", &servicePack))
        version += QStringLiteral(".%1").arg(static_cast<int>(servicePack));
    return version;
}

bool ReadRegisteredName(NT_RegKey& key, const char* name, QString& text) {
    std::array<char, kRegisteredNameBytes> buffer{};
    if (!key.GetValue(name, buffer.data(), kRegisteredNameBytes))
        return false;
    text = ShownText(buffer.data());
    return true;
}

// The product version at the version-information path of one language and code page.
bool QueryProductVersion(const std::vector<char>& block, unsigned languageAndCodePage,
                         QString& version) {
    const QString path = QStringLiteral("\\StringFileInfo\\%1\\ProductVersion")
                             .arg(languageAndCodePage, 8, 16, QLatin1Char('0'));
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.toLatin1().constData(), &value, &length))
        return false;
    version = ShownText(static_cast<const char*>(value));
    return true;
}

}  // namespace

void DisplayAboutBox(unsigned titleStringId, const QIcon& /*icon*/, QWidget* parent) {
    NT_RegKey client(HKEY_LOCAL_MACHINE, kClientVersionKey, KEY_QUERY_VALUE);
    NT_RegKey server(HKEY_LOCAL_MACHINE, kServerVersionKey, KEY_QUERY_VALUE);
    CAboutBox box(parent);
    box.m_strAppName = StringTable::Load(titleStringId);
    box.m_strClientVersion = kNotRead;
    box.m_strLicensee = kNotRead;
    box.m_strCompany = kNotRead;
    box.m_strServerVersion = kServerNotInstalled;
    if (client.IsValid()) {
        if (const QString version = ReadVersion(client, true); !version.isEmpty())
            box.m_strClientVersion = version;
        if (server.IsValid()) {
            if (const QString version = ReadVersion(server, false); !version.isEmpty())
                box.m_strServerVersion = version;
        }
        ReadRegisteredName(client, "User Name", box.m_strLicensee);
        ReadRegisteredName(client, "Company Name", box.m_strCompany);
    }
    Modal().RunDialog(box);
}

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
    const AboutControls controls = BuildAboutDialog(*this);
    m_fileList = controls.fileList;
    m_wndAppName = controls.appName;
    m_wndClientVersion = controls.clientVersion;
    m_wndServerVersion = controls.serverVersion;
    m_wndLicensee = controls.licensee;
    m_wndCompany = controls.company;
}

void CAboutBox::showEvent(QShowEvent* event) {
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

bool CAboutBox::OnInitDialog() {
    DoDataExchange();
    layout()->activate();
    const int half = m_fileList->viewport()->width() / 2;
    m_fileList->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Version")});
    for (int column = 0; column < 2; ++column) {
        m_fileList->setColumnWidth(column, half);
        m_fileList->headerItem()->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
    }
    std::string root;
    GetTelvaneRootPath(root);
    SearchFileList(root + "/Shared Files");
    SearchFileList(root + "/Client/bin");
    SearchFileList(root + "/Server/bin");
    return true;
}

void CAboutBox::DoDataExchange() {
    m_wndAppName->setText(m_strAppName);
    m_wndClientVersion->setText(m_strClientVersion);
    m_wndServerVersion->setText(m_strServerVersion);
    m_wndLicensee->setText(m_strLicensee);
    m_wndCompany->setText(m_strCompany);
}

void CAboutBox::GetTelvaneRootPath(std::string& rootPath) {
    rootPath.clear();
    NT_RegKey environment(HKEY_LOCAL_MACHINE, kClientEnvironmentKey, KEY_READ);
    std::array<char, kRootPathBytes> buffer{};
    if (environment.GetValue("RootPath", buffer.data(), kRootPathBytes))
        rootPath = buffer.data();
}

void CAboutBox::SearchFileList(const std::string& directory) {
    ListFiles("*.dll", directory);
    ListFiles("*.exe", directory);
}

void CAboutBox::ListFiles(const char* pattern, const std::string& directory) {
    WIN32_FIND_DATAA found;
    const std::string wildcard = directory + '/' + pattern;
    HANDLE search = FindFirstFileA(wildcard.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            continue;
        QString version;
        FileVersion(directory + '/' + found.cFileName, version);
        AddFile(ShownText(found.cFileName), version);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void CAboutBox::AddFile(const QString& fileName, const QString& version) {
    auto* row = new QTreeWidgetItem(QStringList{fileName, version});
    m_fileList->insertTopLevelItem(m_nItems, row);
    ++m_nItems;
}

int CAboutBox::FileVersion(const std::string& path, QString& version) {
    version.clear();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0)
        return 0;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), handle, size, block.data()))
        return 0;
    std::array<char, 16> codePageText{};
    if (GetLocaleInfoA(GetUserDefaultLCID(), LOCALE_IDEFAULTANSICODEPAGE, codePageText.data(),
                       static_cast<int>(codePageText.size())) == 0)
        return 0;
    const unsigned codePage = std::strtoul(codePageText.data(), nullptr, 10);
    const unsigned userLanguage = (static_cast<unsigned>(GetUserDefaultLangID()) << 16) + codePage;
    constexpr unsigned kUsEnglishUnicode = (1033u << 16) + 1200u;
    return QueryProductVersion(block, userLanguage, version) ||
                   QueryProductVersion(block, kUsEnglishUnicode, version)
               ? 1
               : 0;
}
