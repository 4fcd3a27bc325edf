#pragma once
// CImportProf, "Import Profile": the file to import (shown, not edited) and the name and class
// the new profile gets. The caller sets the three fields, runs it, and after OK reads the name
// and class. OK refuses an empty name or class, or one with white space, with its message; the
// dialog then stays open.
//
// Name and class are the server's bytes one a character, as the lists hold them.

#include <QDialog>
#include <QString>

class QLineEdit;

class CImportProf final : public QDialog {
    Q_OBJECT

public:
    // The file name starts as the application's profile directory.
    explicit CImportProf(QWidget* parent);

    void SetFilename(const QString& fileName);
    void SetName(const QString& name);
    void SetClass(const QString& profileClass);
    const QString& Name() const { return m_strName; }
    const QString& Class() const { return m_strClass; }

    void accept() override;

private:
    void DoDataExchange(bool save);

    QString m_strFilename;
    QString m_strName;
    QString m_strClass;
    QLineEdit* m_wndFilename;
    QLineEdit* m_wndName;
    QLineEdit* m_wndClass;
};
