#include "framework/waitcursor.h"

#include <atomic>

namespace {

// Counted from any thread: tlvadm waits for many servers at once, each on a thread of its own.
std::atomic<int> g_depth = 0;
std::atomic<long> g_timesShown = 0;
WaitCursorDisplay* g_pDisplay = nullptr;

// Hands a shown wait cursor over from one display to the other.
void SwitchDisplay(WaitCursorDisplay* pNext) {
    if (g_depth > 0 && g_pDisplay != nullptr)
        g_pDisplay->Hide();
    g_pDisplay = pNext;
    if (g_depth > 0 && g_pDisplay != nullptr)
        g_pDisplay->Show();
}

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

WaitCursorDisplayGuard::WaitCursorDisplayGuard(WaitCursorDisplay& display)
    : m_pPrevious(g_pDisplay) {
    SwitchDisplay(&display);
}

WaitCursorDisplayGuard::~WaitCursorDisplayGuard() {
    SwitchDisplay(m_pPrevious);
}
