#pragma once
// CExportProf, "Export Profile": the profile (shown, not edited) and the file to write. The
// caller sets the three fields, runs it, and after OK reads the file path. OK is enabled only
// while the file name holds a character other than a space.
//
// "&Browse" offers a save dialog starting in the application's profile directory; a file chosen
// there moves that directory to the file's folder for the rest of the run and ends this dialog
// at once as if OK had been pressed.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

class CExportProf final : public QDialog {
    Q_OBJECT

public:
    explicit CExportProf(QWidget* parent);

    void SetName(const QString& name);
    void SetClass(const QString& profileClass);
    void SetFilename(const QString& fileName);
    // The file name field's text, as typed or as chosen with "&Browse".
    const QString& Filename() const { return m_strFilename; }
    // Where the export writes: the file name with ".ief" when it holds no ".", inside the folder
    // chosen with "&Browse", or as typed (a bare name stays bare).
    QString FilePath() const;

    void accept() override;

private:
    void OnChangeFilename();
    void OnBrowse();
    void DoDataExchange(bool save);

    QString m_strName;
    QString m_strClass;
    QString m_strFilename;
    QString m_strBrowsedFolder;
    QLineEdit* m_wndName;
    QLineEdit* m_wndClass;
    QLineEdit* m_wndFilename;
    QPushButton* m_okButton;
};
