#include "tools/tlvadm/tlvadm_cli.h"

#include <stdlib.h>

#include <string>

#include "platform/registry/regapi.h"
#include "platform/version/commandline.h"
#include "platform/version/projectversion.h"
#include "session/admindoc.h"
#include "tools/tlvadm/args.h"
#include "tools/tlvadm/commands.h"
#include "tools/tlvadm/registryhint.h"
#include "tools/tlvadm/streamseam.h"

namespace {

// The S.100 library for the length of one run.
class S100Library final {
public:
    S100Library() { m_bStarted = CT_Initialize(nullptr) == CT_SUCCESS; }
    ~S100Library() {
        if (m_bStarted)
            CT_Shutdown(nullptr);
    }
    S100Library(const S100Library&) = delete;
    S100Library& operator=(const S100Library&) = delete;
    bool IsStarted() const { return m_bStarted; }

private:
    bool m_bStarted = false;
};

}  // namespace

int RunTlvadm(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    TlvadmArgs args;
    std::string error;
    if (!ParseTlvadmArgs(argc, argv, args, error)) {
        err << UsageErrorLine("tlvadm", error);
        return kExitUsage;
    }
    if (args.bHelp) {
        out << TlvadmUsage();
        return kExitOk;
    }
    if (args.bVersion) {
        out << VersionLine("tlvadm");
        return kExitOk;
    }
    if (!args.registry.empty())
        setenv("TLV_REGISTRY", args.registry.c_str(), 1);
    // tlvadm only reads the registry: one that is not there is reported, never created.
    if (std::string message; RegUseExistingRegistryFile(args.registry, &message) != ERROR_SUCCESS) {
        ExplainRegistryFailure(message, err);
        return kExitUsage;
    }

    StreamModalSeam seam(err);
    S100Library library;
    if (!library.IsStarted()) {
        err << "tlvadm: the S.100 library did not start\n";
        return kExitUsage;
    }
    CAdminDoc doc;
    const QString entry = QString::fromLatin1(args.entry.c_str());
    if (!doc.OnOpenDocument(entry))
        return kExitUsage;  // the document's box told why, through the seam
    doc.SetPathName(entry);
    return RunTlvadmCommand(doc, args, out, err);
}
