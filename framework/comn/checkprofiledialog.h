#pragma once
// The report window of a profile check, dialog 24584 "Profile Checking Results": the findings
// in a read-only text and a "Close" button. Modeless: it stays open beside the server windows.

#include <QDialog>

class QPlainTextEdit;

class CCheckProfileDialog final : public QDialog {
public:
    explicit CCheckProfileDialog(QWidget* parent);

    void SetText(const QString& text);
    QString Text() const;

private:
    QPlainTextEdit* m_pText;
};
