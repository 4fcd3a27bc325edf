#pragma once
// CProfileFileBox: what the import and export dialogs share, a profile's name and class and a
// file, each with its field. The caller sets the three before running the dialog; which of them
// the operator edits is each dialog's own.
//
// Name and class are the server's bytes one a character, as the lists hold them.

#include <QDialog>
#include <QString>

class QLineEdit;

class CProfileFileBox : public QDialog {
    Q_OBJECT

public:
    void SetName(const QString& name);
    void SetClass(const QString& profileClass);
    void SetFilename(const QString& fileName);
    const QString& Name() const { return m_strName; }
    const QString& Class() const { return m_strClass; }
    const QString& Filename() const { return m_strFilename; }

protected:
    explicit CProfileFileBox(QWidget* parent);

    virtual void DoDataExchange(bool save) = 0;

    QString m_strName;
    QString m_strClass;
    QString m_strFilename;
    QLineEdit* m_wndName;
    QLineEdit* m_wndClass;
    QLineEdit* m_wndFilename;
};
