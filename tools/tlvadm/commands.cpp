#include "tools/tlvadm/commands.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>
#include <string>

#include "resources/stringtable.h"
#include "services/svcdef.h"
#include "session/admindoc.h"
#include "session/ownedset.h"
#include "tools/tlvadm/checkrun.h"
#include "tools/tlvadm/kvstext.h"
#include "tools/tlvadm/output.h"

namespace {

QString Text(const std::string& bytes) {
    return QString::fromLatin1(bytes.c_str());
}

class Runner final {
public:
    Runner(CAdminDoc& doc, const TlvadmArgs& args, std::ostream& out, std::ostream& err)
        : m_doc(doc), m_args(args), m_out(out), m_err(err) {}

    int Run();

private:
    // The document's message for its last failure; a lost connection is a connection error.
    int Refused(const std::string& prefix = "");
    int Usage(const std::string& message);
    int Outcome(int ok) { return ok ? kExitOk : Refused(); }

    int List(int (CAdminDoc::*refresh)(int), std::unique_ptr<CViewLine> (CAdminDoc::*get)(),
             const std::vector<const char*>& keys);
    int Level();
    int SetLevel();
    int ForEachName(const std::function<int(const QString&)>& operation);
    int AddService();
    int ShowProfile();
    int Check();

    const std::string& Operand(std::size_t index) const { return m_args.operands[index]; }

    CAdminDoc& m_doc;
    const TlvadmArgs& m_args;
    std::ostream& m_out;
    std::ostream& m_err;
};

int Runner::Refused(const std::string& prefix) {
    m_err << prefix << StringTable::Text(m_doc.LastError()) << '\n';
    const ECTF_AdminSession* session = m_doc.GetSession();
    const bool bLost = m_doc.LastError() == IDS_LOST_CONNECTION ||
                       (session != nullptr && session->LastError() == CTerr_ConnectionLost);
    return bLost ? kExitUsage : kExitRefused;
}

int Runner::Usage(const std::string& message) {
    m_err << "tlvadm: " << message << '\n';
    return kExitUsage;
}

int Runner::List(int (CAdminDoc::*refresh)(int), std::unique_ptr<CViewLine> (CAdminDoc::*get)(),
                 const std::vector<const char*>& keys) {
    if (!(m_doc.*refresh)(0))
        return Refused();
    const std::unique_ptr<CViewLine> rows = (m_doc.*get)();
    PrintRows(m_out, rows.get(), keys, m_args.bJson);
    return kExitOk;
}

int Runner::Level() {
    if (!m_doc.RefreshLevelInfo(0))
        return Refused();
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
    return Outcome(m_doc.ChangeServerLevel(level, mode));
}

// Like the list view's commands: every name is tried, each failure reported.
int Runner::ForEachName(const std::function<int(const QString&)>& operation) {
    int result = kExitOk;
    for (const std::string& name : m_args.operands) {
        if (!operation(Text(name)))
            result = std::max(result, Refused(name + ": "));
    }
    return result;
}

int Runner::AddService() {
    OwnedSet definition;
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
    OwnedSet contents;
    if (!contents.IsValid())
        return Usage(StringTable::Text(IDS_KVSET_CREATE_FAILED));
    if (!m_doc.GetProfileContents(Text(Operand(0)), Text(Operand(1)), contents.Handle()))
        return Refused();
    std::string text;
    if (!KvSetText(contents.Handle(), text))
        return Usage(StringTable::Text(IDS_EXPORT_CONVERT_FAILED));
    if (m_args.bJson)
        PrintJsonObject(
            m_out,
            {{"name", Text(Operand(0))}, {"class", Text(Operand(1))}, {"contents", Text(text)}});
    else
        m_out << text << '\n';
    return kExitOk;
}

int Runner::Check() {
    ECTF_AdminSession* session = m_doc.GetSession();
    if (session == nullptr)
        return Usage(StringTable::Text(IDS_LOST_CONNECTION));
    return RunProfileCheck(*session, m_args.bJson, m_out, m_err);
}

int Runner::Run() {
    const std::string& command = m_args.command;
    if (command == "profiles")
        return List(&CAdminDoc::RefreshProfileInfo, &CAdminDoc::GetProfiles, {"name", "class"});
    if (command == "services")
        return List(&CAdminDoc::RefreshServiceInfo, &CAdminDoc::GetServices,
                    {"name", "state", "type"});
    if (command == "providers")
        return List(&CAdminDoc::RefreshSPInfo, &CAdminDoc::GetSPs, {"name", "availability"});
    if (command == "level")
        return Level();
    if (command == "set-level")
        return SetLevel();
    if (command == "start")
        return ForEachName([&](const QString& name) { return m_doc.StartService(name); });
    if (command == "stop")
        return ForEachName([&](const QString& name) {
            return m_doc.StopService(name, m_args.bEmergency ? 1 : 0);
        });
    if (command == "add-service")
        return AddService();
    if (command == "remove-service")
        return Outcome(m_doc.DeleteService(Text(Operand(0))));
    if (command == "remove-profile")
        return Outcome(m_doc.DeleteProfile(Text(Operand(0)), Text(Operand(1))));
    if (command == "show-profile")
        return ShowProfile();
    if (command == "import")
        return Outcome(m_doc.ImportProfile(Text(Operand(0)), Text(Operand(1)), Text(Operand(2))));
    if (command == "export")
        return Outcome(m_doc.ExportProfile(Text(Operand(2)), Text(Operand(0)), Text(Operand(1))));
    if (command == "check")
        return Check();
    return Usage("unknown command " + command);
}

}  // namespace

int RunTlvadmCommand(CAdminDoc& doc, const TlvadmArgs& args, std::ostream& out, std::ostream& err) {
    return Runner(doc, args, out, err).Run();
}
