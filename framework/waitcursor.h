#pragma once
// The wait cursor: shown while at least one CWaitCursor lives, so nested ones are harmless.
// The core only counts; the display is whatever is installed with WaitCursorDisplayGuard (the
// program installs framework/widgets/overridewaitcursor.h, which sets the application's
// override cursor). Tests read the counts. User-interface thread only.

#include "framework/scopedinstall.h"

class WaitCursorDisplay {
public:
    virtual ~WaitCursorDisplay() = default;
    virtual void Show() = 0;  // the first wait cursor began
    virtual void Hide() = 0;  // the last wait cursor ended

protected:
    WaitCursorDisplay() = default;
    WaitCursorDisplay(const WaitCursorDisplay&) = default;
    WaitCursorDisplay& operator=(const WaitCursorDisplay&) = default;
};

class CWaitCursor final {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // How many wait cursors live now.
    static int Depth();
    // How many were ever made, nested ones included.
    static long TimesShown();
};

// Installs the display (or none) and returns the one it replaces. A wait cursor shown across
// the switch moves to the new display, so every Show meets its Hide.
WaitCursorDisplay* SwapWaitCursorDisplay(WaitCursorDisplay* display);

// Installs a display for its own lifetime, then restores the previous one.
using WaitCursorDisplayGuard = ScopedInstall<WaitCursorDisplay, &SwapWaitCursorDisplay>;
