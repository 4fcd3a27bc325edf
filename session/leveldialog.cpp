#include "session/leveldialog.h"

#include "framework/modalseam.h"

namespace {

LevelDialogRunner& InstalledRunner() {
    static LevelDialogRunner runner;
    return runner;
}

}  // namespace

void InstallLevelDialog(LevelDialogRunner runner) {
    InstalledRunner() = std::move(runner);
}

int RunLevelDialog(LevelDialogFields& fields) {
    const LevelDialogRunner& runner = InstalledRunner();
    return runner ? runner(fields) : IDCANCEL;
}
