#pragma once
// CExportProf, "Export Profile": the profile (shown, not edited) and the file to write. The
// caller sets the three fields, runs it, and after OK reads the file path. OK is enabled only
// while the file name holds a character other than a space.
//
// "&Browse" offers a save dialog starting in the application's profile directory; a file chosen
// there moves that directory to the file's folder for the rest of the run and ends this dialog
// at once as if OK had been pressed.

#include <QString>

#include "transfer/ui/profilefilebox.h"

class QPushButton;

class CExportProf final : public CProfileFileBox {
    Q_OBJECT

public:
    explicit CExportProf(QWidget* parent);

    // Filename() is the file name field's text, as typed or as chosen with "&Browse".
    // Where the export writes: the file name with ".ief" when it holds no ".", inside the folder
    // chosen with "&Browse", or as typed (a bare name stays bare).
    QString FilePath() const;

    void accept() override;

private:
    void OnChangeFilename();
    void OnBrowse();
    void DoDataExchange(bool save) override;

    QString m_strBrowsedFolder;
    QPushButton* m_okButton;
};
