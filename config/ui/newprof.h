#pragma once
// CNewProfileBox, "New Profile": the class of the profile to create, typed or chosen from the
// classes that have an editor. The caller sets the class text before running it and reads it
// after OK.

#include <QDialog>
#include <string>

class QComboBox;

class CNewProfileBox final : public QDialog {
    Q_OBJECT

public:
    explicit CNewProfileBox(QWidget* parent = nullptr);

    void SetClass(const std::string& profileClass);
    const std::string& Class() const { return m_strClass; }

    void accept() override;

protected:
    // The class list is read from the association table each time the dialog opens.
    void showEvent(QShowEvent* event) override;

private:
    void DoDataExchange(bool save);

    std::string m_strClass;
    QComboBox* m_wndClass;
};
