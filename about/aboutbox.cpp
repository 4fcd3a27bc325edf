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
    text = QString::fromLatin1(buffer.data());
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
    version = QString::fromLatin1(static_cast<const char*>(value));
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
    QString root;
    GetTelvaneRootPath(root);
    SearchFileList(root + QStringLiteral("/Shared Files"));
    SearchFileList(root + QStringLiteral("/Client/bin"));
    SearchFileList(root + QStringLiteral("/Server/bin"));
    return true;
}

void CAboutBox::DoDataExchange() {
    m_wndAppName->setText(m_strAppName);
    m_wndClientVersion->setText(m_strClientVersion);
    m_wndServerVersion->setText(m_strServerVersion);
    m_wndLicensee->setText(m_strLicensee);
    m_wndCompany->setText(m_strCompany);
}

void CAboutBox::GetTelvaneRootPath(QString& rootPath) {
    rootPath.clear();
    NT_RegKey environment(HKEY_LOCAL_MACHINE, kClientEnvironmentKey, KEY_READ);
    std::array<char, kRootPathBytes> buffer{};
    if (environment.GetValue("RootPath", buffer.data(), kRootPathBytes))
        rootPath = QString::fromLatin1(buffer.data());
}

void CAboutBox::SearchFileList(const QString& directory) {
    ListFiles(QStringLiteral("*.dll"), directory);
    ListFiles(QStringLiteral("*.exe"), directory);
}

void CAboutBox::ListFiles(const QString& pattern, const QString& directory) {
    WIN32_FIND_DATAA found;
    const QByteArray wildcard = (directory + QLatin1Char('/') + pattern).toLocal8Bit();
    HANDLE search = FindFirstFileA(wildcard.constData(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            continue;
        const QString name = QString::fromLocal8Bit(found.cFileName);
        QString version;
        FileVersion(directory + QLatin1Char('/') + name, version);
        AddFile(name, version);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void CAboutBox::AddFile(const QString& fileName, const QString& version) {
    auto* row = new QTreeWidgetItem(QStringList{fileName, version});
    m_fileList->insertTopLevelItem(m_nItems, row);
    ++m_nItems;
}

int CAboutBox::FileVersion(const QString& path, QString& version) {
    version.clear();
    const QByteArray fileName = path.toLocal8Bit();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName.constData(), &handle);
    if (size == 0)
        return 0;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(fileName.constData(), handle, size, block.data()))
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
