#include "framework/waitingbox.h"

namespace {

WaitingBox* g_pInstalled = nullptr;

}  // namespace

WaitingBox* InstalledWaitingBox() {
    return g_pInstalled;
}

WaitingBoxGuard::WaitingBoxGuard(WaitingBox& box) : m_pPrevious(g_pInstalled) {
    g_pInstalled = &box;
}

WaitingBoxGuard::~WaitingBoxGuard() {
    g_pInstalled = m_pPrevious;
}
