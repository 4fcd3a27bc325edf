#pragma once
// The box shown while the operator waits for work done elsewhere (framework/waitloop.h): what
// is awaited, the seconds since, progress where the work tells it, and Cancel. The program
// installs the Qt box (framework/widgets/widgetwaitingbox.h); tests install their own, to read
// the texts and press Cancel. Without one nothing is shown and a wait cannot be cancelled.
// GUI thread only.

#include <QString>
#include <functional>

#include "framework/scopedinstall.h"

class WaitingBox {
public:
    virtual ~WaitingBox() = default;

    // Shows the box over the application's windows, which take no input meanwhile; onCancel
    // runs when the operator presses Cancel (possibly before Show returns).
    virtual void Show(const QString& caption, const QString& text,
                      std::function<void()> onCancel) = 0;
    virtual void SetText(const QString& text) = 0;
    virtual void Hide() = 0;

protected:
    WaitingBox() = default;
    WaitingBox(const WaitingBox&) = default;
    WaitingBox& operator=(const WaitingBox&) = default;
};

// The installed box, or null.
WaitingBox* InstalledWaitingBox();

// Installs the box (or none) and returns the one it replaces; WaitingBoxGuard is how callers
// use it.
WaitingBox* SwapWaitingBox(WaitingBox* box);

// Installs a box for its own lifetime, then restores the one installed before.
using WaitingBoxGuard = ScopedInstall<WaitingBox, &SwapWaitingBox>;
