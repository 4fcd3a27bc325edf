#pragma once
// CChangeLevel, "Change Server Level": the level to move the server to, one of five radio
// buttons, and whether to go down as an emergency shutdown. "Emergency Shutdown" can be
// chosen only for levels up to the current one; disabling it keeps its check mark.

#include <QDialog>
#include <array>

#include "session/leveldialog.h"

class QCheckBox;
class QRadioButton;

class CChangeLevel final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kLevels = 5;

    explicit CChangeLevel(QWidget* parent = nullptr);

    // A click on a level: the controls are read and the emergency rule applied again.
    void OnLevel();
    // OK: the controls are read into the fields.
    void accept() override;

    QRadioButton* LevelButton(int index) const { return m_wndLevels.at(index); }
    QCheckBox* EmergencyButton() const { return m_emergencyButton; }

    // Set by the caller before the run, read after OK.
    int m_bEmergency = 0;
    int m_nLevel = -1;  // 0 for "Level 1" to 4 for "Level 5"; -1 none
    int m_nCurrentLevel = 1;

protected:
    // The fields go into the controls each time the dialog opens.
    void showEvent(QShowEvent* event) override;

private:
    void DoDataExchange(bool save);
    void EnableEmergency();

    std::array<QRadioButton*, kLevels> m_wndLevels{};
    QCheckBox* m_emergencyButton;
};

// Runs the dialog over the fields, owned by the parent's window (none when null); IDOK when
// the operator pressed OK, the fields then hold the choice.
int RunChangeLevel(LevelDialogFields& fields, QWidget* parent);
