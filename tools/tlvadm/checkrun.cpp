#include "tools/tlvadm/checkrun.h"

#include <QString>

#include "checker/profchck.h"
#include "platform/text/shownbytes.h"
#include "resources/stringids.h"
#include "resources/stringtable.h"
#include "session/admsess.h"
#include "tools/tlvadm/commands.h"
#include "tools/tlvadm/output.h"

namespace {

const char* TypeName(CE_Type type) {
    switch (type) {
        case CE_Info:
            return "info";
        case CE_Warning:
            return "warning";
        case CE_Error:
            return "error";
        case CE_Fatal:
            return "fatal";
    }
    return "unknown";
}

void PrintJsonFinding(std::ostream& out, const CheckMessage& message) {
    out << "{\"type\": " << JsonString(QString::fromLatin1(TypeName(message.m_type))) << ", "
        << JsonBytesMember("profile", message.m_profileName) << ", "
        << JsonBytesMember("text", message.m_text) << '}';
}

void PrintText(std::ostream& out, const Array<CheckMessage>& messages) {
    // The label is ours; the text holds names from the server.
    for (int i = 0; i < messages.Size(); ++i)
        out << StringTable::Text(LabelIdOf(messages[i]->m_type))
            << tlv::platform::ShownBytes(messages[i]->m_text) << '\n';
}

void PrintJson(std::ostream& out, const Array<CheckMessage>& messages) {
    out << '[';
    for (int i = 0; i < messages.Size(); ++i) {
        out << (i == 0 ? "\n  " : ",\n  ");
        PrintJsonFinding(out, *messages[i]);
    }
    out << (messages.Size() > 0 ? "\n]\n" : "]\n");
}

bool AnyAtOrAbove(const Array<CheckMessage>& messages, FailOn failOn) {
    for (int i = 0; i < messages.Size(); ++i) {
        if (static_cast<int>(messages[i]->m_type) >= static_cast<int>(failOn))
            return true;
    }
    return false;
}

}  // namespace

int RunProfileCheck(ECTF_AdminSession& session, bool bJson, FailOn failOn, std::ostream& out,
                    std::ostream& err) {
    Array<CheckMessage> messages;
    ProfileChecker checker(session);
    const int result = checker.Check(messages);
    if (session.LastError() == CTerr_ConnectionLost) {
        err << "tlvadm: " << StringTable::Text(IDS_LOST_CONNECTION) << '\n';
        return kExitUsage;
    }
    if (bJson)
        PrintJson(out, messages);
    else
        PrintText(out, messages);
    if (result != 1)
        return kExitRefused;
    return AnyAtOrAbove(messages, failOn) ? kExitFindings : kExitOk;
}
