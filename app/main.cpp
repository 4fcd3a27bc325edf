// tlvadmin: the Telvane Server administration client.

#include <QApplication>
#include <iostream>

#include "app/tlvadmin.h"
#include "framework/modalseam.h"
#include "framework/waitcursor.h"
#include "framework/widgets/displaycheck.h"
#include "framework/widgets/overridewaitcursor.h"
#include "framework/widgets/widgetmodalseam.h"

int main(int argc, char** argv) {
    if (!CanOpenWindows(CurrentDisplayEnvironment())) {
        std::cerr << NoDisplayMessage("tlvadmin") << '\n';
        return 2;
    }
    QApplication application(argc, argv);
    WidgetModalSeam modalSeam;
    const ModalSeamGuard modalGuard(modalSeam);
    OverrideWaitCursor waitCursor;
    const WaitCursorDisplayGuard waitCursorGuard(waitCursor);

    CAdminApp admin;
    if (!admin.InitInstance())
        return 1;
    const int result = QApplication::exec();
    admin.ExitInstance();
    return result;
}
