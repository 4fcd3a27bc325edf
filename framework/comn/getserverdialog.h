#pragma once
// The server chooser's window, dialog 24581 "Select Server": a two-line message, the list of
// server entry names, OK and Cancel. OK needs a chosen name; a double click chooses and accepts.
// A name is shown readably whatever its bytes; the chosen one is given back as those bytes.

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

class CGetServerDialog final : public QDialog {
public:
    CGetServerDialog(const QString& prompt, const std::vector<std::string>& names,
                     QWidget* parent);

    // Selects the row showing the name; false when no row does.
    bool SelectName(const QString& name);
    // The selected row's text, or empty.
    QString SelectedName() const;
    // The selected name's bytes, or empty.
    std::string SelectedNameBytes() const;

private:
    void OnSelectionChanged();

    QListWidget* m_pList;
    QPushButton* m_pOk;
};
