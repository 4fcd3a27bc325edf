#pragma once
// CChangeDefBox, "Change Default Profile Editor": the path of the editor used for profile
// classes that have no editor of their own.

#include <QDialog>
#include <string>

class QLineEdit;

class CChangeDefBox final : public QDialog {
    Q_OBJECT

public:
    explicit CChangeDefBox(QWidget* parent = nullptr);

    void SetEditor(const std::string& editor);
    const std::string& Editor() const { return m_strEditor; }

    void OnBrowse();
    // Closes with the field as typed, also empty; only a path too long to be read back again
    // is refused.
    void accept() override;

private:
    void DoDataExchange(bool save);

    std::string m_strEditor;
    QLineEdit* m_wndEditor;
};

// The body of the application's "Change &Default Editor..." command: shows the stored default
// editor for change and writes it back on OK. A table without a default editor is reported as
// unreadable and not given one.
void RunChangeDefaultEditor(QWidget* parent = nullptr);
