#pragma once
// CStopBox, "Stop Service": a normal stop (OK), an emergency stop, or no stop at all.

#include "views/cmdbox.h"

inline constexpr int IDC_EMERGENCY = 49197;

class CStopBox final : public CCommandBox {
    Q_OBJECT

public:
    explicit CStopBox(QWidget* parent);

    // "&Emergency Stop": ends the dialog with IDC_EMERGENCY.
    void OnEmergency();
};
