#include "tools/tlvadm/commands.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "framework/bytetext.h"
#include "platform/text/shownbytes.h"
#include "resources/stringtable.h"
#include "s100/kvs/ownedset.h"
#include "services/svcdef.h"
#include "session/admindoc.h"
#include "tools/tlvadm/checkrun.h"
#include "tools/tlvadm/kvstext.h"
#include "tools/tlvadm/listjson.h"
#include "tools/tlvadm/output.h"
#include "tools/tlvadm/refusal.h"
#include "tools/tlvadm/servicewait.h"
#include "tools/tlvadm/statuscmd.h"
#include "tools/tlvadm/watch.h"

namespace {

QString Text(const std::string& bytes) {
    return ByteStringOfBytes(bytes);
}

class Runner final {
public:
    Runner(CAdminDoc& doc, const TlvadmArgs& args, std::ostream& out, std::ostream& err)
        : m_doc(doc), m_args(args), m_out(out), m_err(err) {}

    int Run();

private:
    // The document's message for its last failure and, under it, what the server said about
    // the objects; a lost connection is a connection error.
    int Refused(const std::vector<std::string>& objects) {
        return Refused(objects, "", SessionError());
    }
    int Refused(const std::vector<std::string>& objects, const std::string& prefix, CTerror code);
    int Usage(const std::string& message);
    int Outcome(int ok) { return ok ? kExitOk : Refused(m_args.operands); }
    // The exit code of the command run on the session; without a session, the lost-connection
    // message and a usage exit.
    int ExitOnSession(const std::function<int(ECTF_AdminSession&)>& command);

    int List(int (CAdminDoc::*refresh)(int), std::unique_ptr<CViewLine> (CAdminDoc::*get)(),
             const std::vector<const char*>& keys);
    int Level();
    int SetLevel();
    int ForEachName(const std::function<int(const QString&)>& operation,
                    std::vector<std::string>& done);
    int StartServices();
    int StopServices();
    // A refusal that leaves the service where the operator wants it: a note, not a failure.
    bool IsAlreadyThere(const std::string& name, CTerror code);
    int Wait(int result, const std::vector<std::string>& names, WaitTarget target);
    CTerror SessionError() const;
    std::chrono::seconds Timeout() const { return std::chrono::seconds(m_args.timeoutSeconds); }
    int AddService();
    int ShowProfile();
    int Check();
    int Status();
    int Watch();

    const std::string& Operand(std::size_t index) const { return m_args.operands[index]; }

    CAdminDoc& m_doc;
    const TlvadmArgs& m_args;
    std::ostream& m_out;
    std::ostream& m_err;
};

CTerror Runner::SessionError() const {
    const CTerror error = m_doc.SessionError();
    return error == CTerr_NotInitialized ? CTerr_ConnectionLost : error;
}

int Runner::Refused(const std::vector<std::string>& objects, const std::string& prefix,
                    CTerror code) {
    m_err << "tlvadm: " << prefix << StringTable::Text(m_doc.LastError()) << '\n';
    const bool bLost = m_doc.LastError() == IDS_LOST_CONNECTION || code == CTerr_ConnectionLost;
    std::string reason;
    if (!bLost && m_doc.RunOnSession([&](ECTF_AdminSession& session) {
            reason = RefusalReason(session, m_args.command, objects, code);
        }))
        m_err << "tlvadm: " << reason << '\n';
    return bLost ? kExitUsage : kExitRefused;
}

int Runner::Usage(const std::string& message) {
    m_err << "tlvadm: " << message << '\n';
    return kExitUsage;
}

int Runner::List(int (CAdminDoc::*refresh)(int), std::unique_ptr<CViewLine> (CAdminDoc::*get)(),
                 const std::vector<const char*>& keys) {
    if (!(m_doc.*refresh)(0))
        return Refused({});
    const std::unique_ptr<CViewLine> rows = (m_doc.*get)();
    PrintRows(m_out, rows.get(), keys, m_args.bJson);
    return kExitOk;
}

int Runner::Level() {
    if (!m_doc.RefreshLevelInfo(0))
        return Refused({});
    const int level = m_doc.GetServerLevel();
    if (m_args.bJson)
        m_out << "[\n  {\"level\": " << level << "}\n]\n";
    else
        m_out << level << '\n';
    return kExitOk;
}

int Runner::SetLevel() {
    const std::string& text = Operand(0);
    long level = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), level);
    if (error != std::errc() || end != text.data() + text.size() || level < 1 || level > 5)
        return Usage("the level must be a number from 1 to 5, not \"" + text + "\"");
    const unsigned long mode = m_args.bEmergency ? LEVEL_CHANGE_EMERGENCY : LEVEL_CHANGE_NORMAL;
    if (m_args.bWait && !m_doc.RefreshLevelInfo(0))
        return Refused({});
    const long from = m_doc.GetServerLevel();
    if (!m_doc.ChangeServerLevel(level, mode))
        return Refused(m_args.operands);
    if (!m_args.bWait)
        return kExitOk;
    int result = kExitUsage;
    m_doc.RunOnSession([&](ECTF_AdminSession& session) {
        result = WaitForLevel(session, from, level, Timeout(), m_err);
    });
    return result;
}

// Like the list view's commands: every name is tried, each failure reported. done: the names
// whose operation went through, or found the service where it was asked to go.
int Runner::ForEachName(const std::function<int(const QString&)>& operation,
                        std::vector<std::string>& done) {
    int result = kExitOk;
    for (const std::string& name : m_args.operands) {
        if (operation(Text(name))) {
            done.push_back(name);
            continue;
        }
        const CTerror code = SessionError();  // before any other call replaces it
        if (IsAlreadyThere(name, code))
            done.push_back(name);
        else
            result =
                std::max(result, Refused({name}, tlv::platform::ShownBytes(name) + ": ", code));
    }
    return result;
}

bool Runner::IsAlreadyThere(const std::string& name, CTerror code) {
    const bool bStart = m_args.command == "start";
    const bool bMaybe = bStart ? code == CTerr_ServiceBusy
                               : code == CTerr_InvalidArgument || code == CTerr_ServiceBusy;
    if (!bMaybe)
        return false;
    bool bThere = false;
    m_doc.RunOnSession([&](ECTF_AdminSession& session) {
        const ServiceLookup service = LookUpService(session, name);
        const bool bRunning = service.state == SVC_StateRunning ||
                              service.state == SVC_StateStarting ||
                              service.state == SVC_StateWaiting;
        const bool bIdle = service.state == SVC_StateIdle || service.state == SVC_StateFailed;
        bThere =
            service.bFound && (bStart ? bRunning : bIdle || service.state == SVC_StateStopping);
        if (bThere)
            m_err << "tlvadm: " << RefusalReason(session, m_args.command, {name}, code) << '\n';
    });
    return bThere;
}

int Runner::Wait(int result, const std::vector<std::string>& names, WaitTarget target) {
    if (!m_args.bWait || names.empty() || result == kExitUsage)
        return result;
    int waited = kExitUsage;
    m_doc.RunOnSession([&](ECTF_AdminSession& session) {
        waited = WaitForServices(session, names, target, Timeout(), m_err);
    });
    return std::max(result, waited);
}

int Runner::StartServices() {
    std::vector<std::string> started;
    const int result =
        ForEachName([&](const QString& name) { return m_doc.StartService(name); }, started);
    return Wait(result, started, WaitTarget::Running);
}

int Runner::StopServices() {
    std::vector<std::string> stopped;
    const int result = ForEachName(
        [&](const QString& name) { return m_doc.StopService(name, m_args.bEmergency ? 1 : 0); },
        stopped);
    return Wait(result, stopped, WaitTarget::Stopped);
}

int Runner::AddService() {
    s100::OwnedSet definition;
    if (!definition.IsValid())
        return Usage(StringTable::Text(IDS_KVSET_CREATE_FAILED));
    std::string error;
    if (!ReadKvSetFile(Operand(1), definition.Handle(), error))
        return Usage(error);
    if (ServiceKindOf(definition.Handle()) == ServiceKind::Invalid)
        return Usage(Operand(1) + ": SVC_Kind must be SVC_KindExecutable or SVC_KindDLL");
    if (!NormalizeServiceDefinition(definition.Handle()))
        return Usage(StringTable::Text(IDS_KVSET_OPERATION_FAILED));
    return Outcome(m_doc.NewService(Text(Operand(0)), definition.Handle()));
}

int Runner::ShowProfile() {
    s100::OwnedSet contents;
    if (!contents.IsValid())
        return Usage(StringTable::Text(IDS_KVSET_CREATE_FAILED));
    if (!m_doc.GetProfileContents(Text(Operand(0)), Text(Operand(1)), contents.Handle()))
        return Refused(m_args.operands);
    std::string text;
    if (!KvSetText(contents.Handle(), text))
        return Usage(StringTable::Text(IDS_EXPORT_CONVERT_FAILED));
    if (m_args.bJson)
        PrintJsonObject(m_out, {{"name", Operand(0)}, {"class", Operand(1)}, {"contents", text}});
    else
        m_out << text << '\n';
    return kExitOk;
}

int Runner::ExitOnSession(const std::function<int(ECTF_AdminSession&)>& command) {
    int result = kExitUsage;
    if (!m_doc.RunOnSession([&](ECTF_AdminSession& session) { result = command(session); }))
        return Usage(StringTable::Text(IDS_LOST_CONNECTION));
    return result;
}

int Runner::Check() {
    return ExitOnSession([&](ECTF_AdminSession& session) {
        return RunProfileCheck(session, m_args.bJson, m_args.failOn, m_out, m_err);
    });
}

int Runner::Status() {
    return ExitOnSession([&](ECTF_AdminSession& session) {
        return RunServiceStatus(session, m_args.operands, m_args.bJson, m_out, m_err);
    });
}

int Runner::Watch() {
    static constexpr const char* kLists[] = {"profiles", "services", "providers", "level"};
    const std::string list = m_args.operands.empty() ? "services" : Operand(0);
    if (std::find(std::begin(kLists), std::end(kLists), list) == std::end(kLists))
        return Usage("watch shows profiles, services, providers or level, not \"" + list + "\"");
    return RunWatch(m_doc, list, isatty(STDOUT_FILENO) != 0 && &m_out == &std::cout, m_out);
}

int Runner::Run() {
    const std::string& command = m_args.command;
    if (command == "profiles")
        return List(&CAdminDoc::RefreshProfileInfo, &CAdminDoc::GetProfiles, {"name", "class"});
    if (command == "services" && m_args.bJson)
        return PrintServiceListJson(m_doc, m_out, m_err);
    if (command == "services")
        return List(&CAdminDoc::RefreshServiceInfo, &CAdminDoc::GetServices,
                    {"name", "state", "type"});
    if (command == "providers" && m_args.bJson)
        return PrintProviderListJson(m_doc, m_out, m_err);
    if (command == "providers")
        return List(&CAdminDoc::RefreshSPInfo, &CAdminDoc::GetSPs, {"name", "availability"});
    // The commands that are one member of the runner each.
    static constexpr std::pair<std::string_view, int (Runner::*)()> kMemberCommands[] = {
        {"level", &Runner::Level},
        {"set-level", &Runner::SetLevel},
        {"start", &Runner::StartServices},
        {"stop", &Runner::StopServices},
        {"status", &Runner::Status},
        {"watch", &Runner::Watch},
        {"add-service", &Runner::AddService},
        {"show-profile", &Runner::ShowProfile},
        {"check", &Runner::Check}};
    for (const auto& [name, run] : kMemberCommands) {
        if (command == name)
            return (this->*run)();
    }
    if (command == "remove-service")
        return Outcome(m_doc.DeleteService(Text(Operand(0))));
    if (command == "remove-profile")
        return Outcome(m_doc.DeleteProfile(Text(Operand(0)), Text(Operand(1))));
    if (command == "import")
        return Outcome(m_doc.ImportProfile(Text(Operand(0)), Text(Operand(1)), Text(Operand(2))));
    if (command == "export")
        return Outcome(m_doc.ExportProfile(Text(Operand(2)), Text(Operand(0)), Text(Operand(1))));
    return Usage("unknown command " + command);
}

}  // namespace

int RunTlvadmCommand(CAdminDoc& doc, const TlvadmArgs& args, std::ostream& out, std::ostream& err) {
    return Runner(doc, args, out, err).Run();
}
