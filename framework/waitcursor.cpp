#include "framework/waitcursor.h"

#include <atomic>
#include <utility>

namespace {

// Counted from any thread: tlvadm waits for many servers at once, each on a thread of its own.
std::atomic<int> g_depth = 0;
std::atomic<long> g_timesShown = 0;
WaitCursorDisplay* g_pDisplay = nullptr;

}  // namespace

CWaitCursor::CWaitCursor() {
    ++g_timesShown;
    if (g_depth++ == 0 && g_pDisplay != nullptr)
        g_pDisplay->Show();
}

CWaitCursor::~CWaitCursor() {
    if (--g_depth == 0 && g_pDisplay != nullptr)
        g_pDisplay->Hide();
}

int CWaitCursor::Depth() {
    return g_depth;
}

long CWaitCursor::TimesShown() {
    return g_timesShown;
}

WaitCursorDisplay* SwapWaitCursorDisplay(WaitCursorDisplay* display) {
    if (g_depth > 0 && g_pDisplay != nullptr)
        g_pDisplay->Hide();
    WaitCursorDisplay* previous = std::exchange(g_pDisplay, display);
    if (g_depth > 0 && g_pDisplay != nullptr)
        g_pDisplay->Show();
    return previous;
}
