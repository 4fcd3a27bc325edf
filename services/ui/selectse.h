#pragma once
// CSelectService, "Select Service Type": whether a new service is an executable or a DLL.

#include <QDialog>

class QRadioButton;

class CSelectService final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kNone = -1;
    static constexpr int kExecutable = 0;
    static constexpr int kDLL = 1;

    explicit CSelectService(QWidget* parent = nullptr);

    // The callers preselect kExecutable before running the dialog and read the choice after OK.
    void SetSelection(int selection);
    int Selection() const { return m_nSelection; }

    void accept() override;

private:
    void DoDataExchange(bool save);

    int m_nSelection = kNone;
    QRadioButton* m_wndExecutable;
    QRadioButton* m_wndDLL;
};
