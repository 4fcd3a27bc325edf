#include "tools/tlvadm/statuscmd.h"

#include <QDateTime>
#include <algorithm>

#include "platform/text/shownbytes.h"
#include "session/admsess.h"
#include "session/displaytexts.h"
#include "session/servicestatus.h"
#include "tools/tlvadm/commands.h"
#include "tools/tlvadm/output.h"

namespace {

using tlv::platform::ShownBytes;

std::string JsonNumberOrNull(bool bPresent, long long value) {
    return bPresent ? std::to_string(value) : std::string("null");
}

std::string JsonLastExitTime(const TLVserviceStatus& status) {
    if (!status.hasExited)
        return "null";
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(status.lastExitTimeMs, Qt::UTC);
    return JsonString(at.toString(Qt::ISODateWithMs));
}

void PrintJsonStatus(std::ostream& out, const DisplayTexts& texts,
                     const TLVserviceStatus& status) {
    const bool bExited = status.hasExited;
    out << '{' << JsonBytesMember("name", status.name)
        << ", \"state\": " << JsonString(StateText(texts, status.state))
        << ", \"failed\": " << (status.failed ? "true" : "false")
        << ", \"disabled\": " << (status.disabled ? "true" : "false")
        << ", \"type\": " << JsonString(KindText(status)) << ", "
        << JsonBytesMember("program", status.program)
        << ", \"pid\": " << JsonNumberOrNull(status.pid > 0, status.pid)
        << ", \"restarts\": " << status.restarts << ", \"last_exit_code\": "
        << JsonNumberOrNull(bExited && status.lastSignal == 0, status.lastExitCode)
        << ", \"last_signal\": "
        << JsonNumberOrNull(bExited && status.lastSignal != 0, status.lastSignal)
        << ", \"last_exit_time\": " << JsonLastExitTime(status) << ", "
        << JsonBytesListMember("last_output", status.lastOutput) << '}';
}

void PrintTextStatus(std::ostream& out, const DisplayTexts& texts,
                     const TLVserviceStatus& status) {
    out << ShownBytes(status.name) << '\n';
    for (const QString& line : ServiceStatusLines(texts, status))
        out << "  " << line.toUtf8().constData() << '\n';
}

}  // namespace

bool ReportMissingServices(const std::vector<std::string>& names,
                           const std::vector<TLVserviceStatus>& statuses, std::ostream& err) {
    bool bAllThere = true;
    for (const std::string& name : names) {
        const bool bListed = std::any_of(statuses.begin(), statuses.end(),
                                         [&](const auto& s) { return s.name == name; });
        if (!bListed) {
            err << "tlvadm: " << ShownBytes(name) << ": no such service\n";
            bAllThere = false;
        }
    }
    return bAllThere;
}

int StatusNotRead(const ECTF_AdminSession& session, std::ostream& err) {
    err << "tlvadm: the service status could not be read\n";
    return session.LastError() == CTerr_ConnectionLost ? kExitUsage : kExitRefused;
}

int RunServiceStatus(ECTF_AdminSession& session, const std::vector<std::string>& names,
                     bool bJson, std::ostream& out, std::ostream& err) {
    std::vector<TLVserviceStatus> statuses;
    if (!session.GetServiceStatus(names, statuses))
        return StatusNotRead(session, err);
    const DisplayTexts texts = DisplayTexts::Load();
    if (bJson)
        out << '[';
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        if (bJson) {
            out << (i == 0 ? "\n  " : ",\n  ");
            PrintJsonStatus(out, texts, statuses[i]);
        } else {
            out << (i == 0 ? "" : "\n");
            PrintTextStatus(out, texts, statuses[i]);
        }
    }
    if (bJson)
        out << (statuses.empty() ? "]\n" : "\n]\n");
    const bool bAnyFailed = std::any_of(statuses.begin(), statuses.end(),
                                        [](const TLVserviceStatus& s) { return s.failed; });
    if (!ReportMissingServices(names, statuses, err))
        return kExitNoSuchService;
    return bAnyFailed ? kExitServiceFailed : kExitOk;
}
