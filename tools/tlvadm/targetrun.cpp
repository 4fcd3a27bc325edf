#include "tools/tlvadm/targetrun.h"

#include <optional>

#include "session/admindoc.h"
#include "tools/tlvadm/commands.h"
#include "tools/tlvadm/connecthint.h"
#include "tools/tlvadm/streamseam.h"

int RunOnTarget(const Target& target, const TlvadmArgs& args, std::ostream& out, std::ostream& err,
                const std::shared_ptr<SessionAbortLine>& abortLine, bool bBrief) {
    const ThreadMessageStream messages(err);
    CAdminDoc doc;
    if (target.bAddress)
        doc.SetAdminKeyFile(args.keyFile);
    if (abortLine)
        doc.SetAbortLine(abortLine);
    const QString name = QString::fromLatin1(target.name.c_str());
    bool bOpened = false;
    {
        std::ostream discarded(nullptr);
        std::optional<ThreadMessageStream> quiet;
        if (bBrief)
            quiet.emplace(discarded);
        bOpened = doc.OnOpenDocument(name);
    }
    if (!bOpened) {
        // A full run showed the document's box, which says it all; a fleet's row says why.
        if (bBrief)
            ExplainConnectFailure(target.name, err);
        return kExitUsage;
    }
    doc.SetPathName(name);
    return RunTlvadmCommand(doc, args, out, err);
}
