#pragma once
// The program's wait cursor: the application's override cursor, while a GUI application runs.

#include "framework/waitcursor.h"

class OverrideWaitCursor final : public WaitCursorDisplay {
public:
    void Show() override;
    void Hide() override;

private:
    bool m_bOverridden = false;  // so a Hide after the application went away restores nothing
};
