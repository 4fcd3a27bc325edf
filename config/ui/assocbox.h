#pragma once
// CAssocBox, "Associate": choose or type a profile class and the editor program for it.
// OK stores the association, "&Remove" deletes the class's association; both close the dialog.

#include <QDialog>
#include <string>

#include "config/assocset.h"

class QComboBox;

class CAssocBox final : public QDialog {
    Q_OBJECT

public:
    // Reads the association table and fills both lists; both fields start empty.
    explicit CAssocBox(QWidget* parent = nullptr);

    // Runs the dialog modally. When the table could not be read it shows the registry-access
    // error instead and returns IDOK without showing the dialog.
    int DoModal();

    // The class list's selection changed: the class and its editor fill the fields.
    void OnSelchangeClass(int index);
    void OnBrowse();
    void OnRemove();
    void accept() override;

private:
    void DoDataExchange(bool save);

    EditorAssocSet m_set;
    std::string m_strClass;
    std::string m_strEditor;
    QComboBox* m_wndClass;
    QComboBox* m_wndEditor;
};

// The body of the application's "&Associate..." command. A run that ends with neither OK nor
// Cancel (the dialog could not be shown) reports its result as a message number.
void RunAssociate(QWidget* parent = nullptr);
