#pragma once
// CStopBox, "Stop Service": a normal stop (OK), an emergency stop, or no stop at all.

#include "resources/resourceids.h"
#include "views/cmdbox.h"

class CStopBox final : public CCommandBox {
    Q_OBJECT

public:
    explicit CStopBox(QWidget* parent);

    // "&Emergency Stop": ends the dialog with IDC_EMERGENCY.
    void OnEmergency();
};
