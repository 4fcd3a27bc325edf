#include "tools/tlvedit/tlvedit_app.h"

#include <QApplication>
#include <iostream>
#include <string>

#include "framework/modalseam.h"
#include "framework/widgets/displaycheck.h"
#include "framework/widgets/widgetmodalseam.h"
#include "framework/widgets/widgetwaitingbox.h"
#include "platform/version/commandline.h"
#include "platform/version/projectversion.h"
#include "resources/stringtable.h"
#include "s100/s100.h"
#include "session/textconv.h"
#include "tools/tlvedit/contentscheck.h"
#include "tools/tlvedit/editormessages.h"

namespace {

// The S.100 library from start-up to exit.
class S100Library final {
public:
    S100Library() { CT_Initialize(nullptr); }
    ~S100Library() { CT_Shutdown(nullptr); }
    S100Library(const S100Library&) = delete;
    S100Library& operator=(const S100Library&) = delete;
};

EditorStart Refuse(int exitCode, const QString& text, const QString& details = {}) {
    Modal().MessageBox(text, EditorCaption(), MB_OK | MB_ICONERROR, nullptr, details);
    EditorStart start;
    start.exitCode = exitCode;
    return start;
}

}  // namespace

EditorStart StartEditor(const EditorRequest& request) {
    // The server refuses profile writes of this class, so refuse before anything is typed.
    if (request.profileClass == StringTable::Text(IDS_TLVS_SERVICE_CLASS))
        return Refuse(kExitRefused, ServiceClassRefusedText());

    const QString entry = FromServerText(request.entry.c_str());
    const QString name = FromServerText(request.name.c_str());
    const QString profileClass = FromServerText(request.profileClass.c_str());
    auto connection = std::make_unique<ProfileConnection>(entry);
    // The operator gave up waiting: nothing to explain.
    if (connection->WasCancelled())
        return EditorStart{kExitUsage, nullptr, nullptr};
    if (connection->ConnectError() != CTerr_NoError) {
        const EditorMessage failure = ConnectFailureMessage(entry, connection->ConnectError());
        return Refuse(kExitUsage, failure.text, failure.details);
    }

    s100::KVSet contents;
    if (request.mode == EditMode::Edit) {
        const CTerror error = connection->Load(name, profileClass, contents);
        if (connection->WasCancelled())
            return EditorStart{kExitUsage, nullptr, nullptr};
        if (error != CTerr_NoError) {
            const int exitCode = error == CTerr_ConnectionLost ? kExitUsage : kExitRefused;
            return Refuse(exitCode,
                          ProfileFailureText(ProfileCall::Load, name, profileClass, error));
        }
    }
    EditorStart start;
    start.window = std::make_unique<CProfileEditorWnd>(*connection, request.mode, name,
                                                       profileClass, ContentsText(contents));
    start.connection = std::move(connection);
    return start;
}

int RunTlvedit(int argc, char** argv) {
    // The command line is read before Qt needs a display, so usage errors work without one.
    EditorRequest request;
    std::string error;
    if (!ParseEditorArgs(argc, argv, request, error)) {
        std::cerr << UsageErrorLine("tlvedit", error);
        return kExitUsage;
    }
    if (request.bHelp) {
        std::cout << EditorUsage();
        return kExitOk;
    }
    if (request.bVersion) {
        std::cout << VersionLine("tlvedit");
        return kExitOk;
    }
    if (!CanOpenWindows(CurrentDisplayEnvironment())) {
        std::cerr << NoDisplayMessage("tlvedit") << '\n';
        return kExitUsage;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tlvedit"));
    WidgetModalSeam seam;
    ModalSeamGuard guard(seam);
    WidgetWaitingBox waitingBox;
    const WaitingBoxGuard waitingBoxGuard(waitingBox);
    S100Library library;
    EditorStart start = StartEditor(request);
    if (!start.window)
        return start.exitCode;
    start.window->show();
    return app.exec();
}
