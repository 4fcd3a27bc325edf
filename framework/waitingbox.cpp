#include "framework/waitingbox.h"

#include <utility>

namespace {

WaitingBox* g_pInstalled = nullptr;

}  // namespace

WaitingBox* InstalledWaitingBox() {
    return g_pInstalled;
}

WaitingBox* SwapWaitingBox(WaitingBox* box) {
    return std::exchange(g_pInstalled, box);
}
