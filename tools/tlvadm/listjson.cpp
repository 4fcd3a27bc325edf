#include "tools/tlvadm/listjson.h"

#include "resources/stringtable.h"
#include "s100/kvs/symtable.h"
#include "session/admindoc.h"
#include "session/displaytexts.h"
#include "session/listqueries.h"
#include "session/textconv.h"
#include "tools/tlvadm/commands.h"
#include "tools/tlvadm/output.h"

namespace {

const char* JsonBool(bool value) {
    return value ? "true" : "false";
}

std::string NameMember(const SC_String& name) {
    return JsonBytesMember("name", static_cast<const char*>(name));
}

// Runs the query on the document's session; on failure says why and gives the exit status.
template <typename Answer>
bool Ask(CAdminDoc& doc, Answer (*query)(ECTF_AdminSession*), unsigned failureMessage,
         Answer& answer, std::ostream& err, int& exitCode) {
    answer = LostAnswer<Answer>();
    doc.RunOnSession([&](ECTF_AdminSession& session) { answer = query(&session); });
    if (answer.ok)
        return true;
    const bool bLost = answer.error == CTerr_ConnectionLost;
    err << "tlvadm: " << StringTable::Text(bLost ? IDS_LOST_CONNECTION : failureMessage) << '\n';
    exitCode = bLost ? kExitUsage : kExitRefused;
    return false;
}

// The list as a JSON array, printRow(answer, texts, i) writing the members of row i.
template <typename Answer, typename PrintRow>
int PrintListJson(CAdminDoc& doc, Answer (*query)(ECTF_AdminSession*), unsigned failureMessage,
                  std::ostream& out, std::ostream& err, PrintRow printRow) {
    Answer answer;
    int exitCode = kExitOk;
    if (!Ask(doc, query, failureMessage, answer, err, exitCode))
        return exitCode;
    const DisplayTexts texts = DisplayTexts::Load();
    out << '[';
    for (int i = 0; i < answer.count; ++i) {
        out << (i == 0 ? "\n  {" : ",\n  {");
        printRow(answer, texts, i);
        out << '}';
    }
    out << (answer.count > 0 ? "\n]\n" : "]\n");
    return kExitOk;
}

}  // namespace

int PrintServiceListJson(CAdminDoc& doc, std::ostream& out, std::ostream& err) {
    const auto printRow = [&out](const ServiceListAnswer& answer, const DisplayTexts& texts,
                                 int i) {
        const unsigned long state = answer.states[i];
        const unsigned long type = answer.types[i];
        const long disabled = answer.disabled[i];
        out << NameMember(answer.names[i]) << ", \"state\": " << JsonString(StateText(texts, state))
            << ", \"type\": " << JsonString(TypeText(texts, type, disabled))
            << ", \"state_symbol\": " << JsonString(QString::fromStdString(s100::symbolText(state)))
            << ", \"failed\": " << JsonBool(state == SVC_StateFailed)
            << ", \"disabled\": " << JsonBool(disabled != 0)
            << ", \"start_type\": " << JsonString(QString::fromStdString(s100::symbolText(type)));
    };
    return PrintListJson(doc, &QueryServiceList, IDS_SERVICE_INFO_FAILED, out, err, printRow);
}

int PrintProviderListJson(CAdminDoc& doc, std::ostream& out, std::ostream& err) {
    const auto printRow = [&out](const SPListAnswer& answer, const DisplayTexts& texts, int i) {
        const long available = answer.available[i];
        out << NameMember(answer.names[i])
            << ", \"availability\": " << JsonString(AvailabilityText(texts, available))
            << ", \"available\": " << JsonBool(available != 0);
    };
    return PrintListJson(doc, &QuerySPList, IDS_SP_INFO_FAILED, out, err, printRow);
}
