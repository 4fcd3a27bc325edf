// tlvadmin: the Telvane Server administration client.

#include <QApplication>
#include <cstdio>
#include <iostream>
#include <string_view>

#include "app/tlvadmin.h"
#include "framework/modalseam.h"
#include "framework/waitcursor.h"
#include "framework/widgets/displaycheck.h"
#include "framework/widgets/overridewaitcursor.h"
#include "framework/widgets/widgetwaitingbox.h"
#include "framework/widgets/widgetmodalseam.h"
#include "platform/version/projectversion.h"

namespace {

constexpr const char* kUsage =
    "usage: tlvadmin [--help | --version]\n"
    "The Telvane Server administration client. It reads no other arguments: the server\n"
    "entries, the installation root and the editors come from the registry.\n";

// --help and --version are answered before Qt needs a display; anything else is left to Qt,
// which takes its own options (-platform, -style) and ignores the rest.
bool AnswersCommandLine(int argc, char** argv, int& exitCode) {
    if (argc != 2)
        return false;
    const std::string_view option = argv[1];
    if (option == "--help" || option == "-h") {
        std::fputs(kUsage, stdout);
    } else if (option == "--version") {
        std::fputs(VersionLine("tlvadmin").c_str(), stdout);
    } else {
        return false;
    }
    exitCode = 0;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (int exitCode = 0; AnswersCommandLine(argc, argv, exitCode))
        return exitCode;
    if (!CanOpenWindows(CurrentDisplayEnvironment())) {
        std::cerr << NoDisplayMessage("tlvadmin") << '\n';
        return 2;
    }
    QApplication application(argc, argv);
    WidgetModalSeam modalSeam;
    const ModalSeamGuard modalGuard(modalSeam);
    OverrideWaitCursor waitCursor;
    const WaitCursorDisplayGuard waitCursorGuard(waitCursor);
    WidgetWaitingBox waitingBox;
    const WaitingBoxGuard waitingBoxGuard(waitingBox);

    CAdminApp admin;
    if (!admin.InitInstance())
        return 1;
    const int result = QApplication::exec();
    admin.ExitInstance();
    return result;
}
