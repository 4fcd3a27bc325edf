#pragma once
// The about box: the application's title, the installed client and server versions, the
// registered user and company, and the installed program files with their product versions.
// DisplayAboutBox reads the registry into a CAboutBox and runs it; the box lists the files of
// the installation root when it opens. Nothing missing is reported: absent keys and values
// leave the box's first texts, files without a version show an empty version.

#include <QDialog>
#include <QString>
#include <string>

class QIcon;
class QLabel;
class QTreeWidget;

// Fills a CAboutBox from the registry and runs it modally. The title comes from the string
// table; the icon is not shown.
void DisplayAboutBox(unsigned titleStringId, const QIcon& icon, QWidget* parent);

class CAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit CAboutBox(QWidget* parent = nullptr);

    // Set before the box opens; shown when it opens.
    QTreeWidget* m_fileList;
    QString m_strAppName;
    QString m_strCompany;
    QString m_strLicensee;
    QString m_strClientVersion;
    QString m_strServerVersion;

protected:
    // Shows the fields, makes the two half-width columns and lists the files of the Shared
    // Files, Client/bin and Server/bin folders of the root, in this order.
    virtual bool OnInitDialog();
    void showEvent(QShowEvent* event) override;

    // Paths are the file system's bytes, kept as they are: no encoding could name every file.
    // The "RootPath" of the client's environment; empty when it cannot be read.
    void GetTelvaneRootPath(std::string& rootPath);
    // Lists the folder's shared libraries, then its executables, as the file system orders them.
    void SearchFileList(const std::string& directory);
    void AddFile(const QString& fileName, const QString& version);
    // The product version of the file in the user's language, else in US English; 1 when one
    // was found, else 0 with the version empty.
    int FileVersion(const std::string& path, QString& version);

private:
    void DoDataExchange();
    void ListFiles(const char* pattern, const std::string& directory);

    int m_nItems = 0;
    bool m_bInitialized = false;
    QLabel* m_wndAppName;
    QLabel* m_wndClientVersion;
    QLabel* m_wndServerVersion;
    QLabel* m_wndLicensee;
    QLabel* m_wndCompany;
};
