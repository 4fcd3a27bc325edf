// tlvadmin: the Telvane Server administration client.

#include <QApplication>

#include "app/tlvadmin.h"
#include "framework/modalseam.h"
#include "framework/waitcursor.h"
#include "framework/widgets/overridewaitcursor.h"
#include "framework/widgets/widgetmodalseam.h"

int main(int argc, char** argv) {
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
