// tlvadmin: the Telvane Server administration client.

#include <QApplication>
#include <cstdio>
#include <iostream>

#include "app/startargs.h"
#include "app/tlvadmin.h"
#include "framework/modalseam.h"
#include "framework/waitcursor.h"
#include "framework/widgets/displaycheck.h"
#include "framework/widgets/overridewaitcursor.h"
#include "framework/widgets/widgetwaitingbox.h"
#include "framework/widgets/widgetmodalseam.h"
#include "platform/version/commandline.h"
#include "platform/version/projectversion.h"

namespace {

constexpr const char* kUsage =
    "usage: tlvadmin [--help | --version] [Qt options such as -style NAME or -platform NAME]\n"
    "The Telvane Server administration client. It reads no other arguments: the server\n"
    "entries, the installation root and the editors come from the registry.\n";

// --help, --version and a command line the client cannot run are answered before Qt needs a
// display.
bool AnswersCommandLine(int argc, char** argv, int& exitCode) {
    const CommandLineCheck check = CheckCommandLine(argc, argv);
    exitCode = 0;
    switch (check.action) {
        case CommandLineAction::Run:
            return false;
        case CommandLineAction::Help:
            std::fputs(kUsage, stdout);
            return true;
        case CommandLineAction::Version:
            std::fputs(VersionLine("tlvadmin").c_str(), stdout);
            return true;
        case CommandLineAction::Refuse:
            std::fputs(UsageErrorLine("tlvadmin", check.problem).c_str(), stderr);
            exitCode = 2;
            return true;
    }
    return false;
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
