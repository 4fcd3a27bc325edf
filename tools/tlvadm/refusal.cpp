#include "tools/tlvadm/refusal.h"

#include <cstdio>

#include "platform/text/shownbytes.h"
#include "session/admsess.h"

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + tlv::platform::ShownBytes(text) + "\"";
}

std::string Object(const std::vector<std::string>& objects, std::size_t index) {
    return index < objects.size() ? objects[index] : std::string();
}

std::string GeneralReason(CTerror code) {
    switch (code) {
        case CTerr_ConnectionLost:
            return "the connection to the server was lost";
        case CTerr_StoreFailed:
            return "the server could not save the change";
        case CTerr_LimitExceeded:
            return "the data is above the server's limits";
        case CTerr_InvalidName:
            return "the name is not a valid service name (1 to 32 characters, no blank)";
        default:
            break;
    }
    char text[64];
    std::snprintf(text, sizeof text, "the server answered error 0x%08X", static_cast<unsigned>(code));
    return text;
}

std::string StateWords(unsigned long state) {
    switch (state) {
        case SVC_StateStarting:
            return "is starting";
        case SVC_StateWaiting:
            return "is waiting to be restarted";
        case SVC_StateRunning:
            return "is already running";
        case SVC_StateStopping:
            return "is stopping";
        default:
            return "is not running";
    }
}

std::string ServiceReason(ECTF_AdminSession& session, const std::string& command,
                          const std::string& name, CTerror code) {
    const ServiceLookup service = LookUpService(session, name);
    if (code == CTerr_NotFound && !service.bFound)
        return "no such service " + Quoted(name);
    if (code == CTerr_NotFound)
        return "program not found: " + tlv::platform::ShownBytes(service.program);
    if (code == CTerr_ServiceBusy || (command == "stop" && code == CTerr_InvalidArgument))
        return Quoted(name) + " " + StateWords(service.state);
    if (command == "start" && code == CTerr_InvalidArgument)
        return Quoted(name) + " is disabled";
    if (command == "add-service" && code == CTerr_InvalidArgument)
        return "the server cannot take this definition: a kind it does not know or a value of "
               "the wrong type";
    if (code == CTerr_Exists)
        return "a service named " + Quoted(name) + " already exists";
    if (code == CTerr_Deferred && command == "remove-service")
        return Quoted(name) + " is running: it goes once it has stopped";
    if (code == CTerr_Deferred)
        return Quoted(name) + " is running: the change applies from its next start";
    return GeneralReason(code);
}

std::string ProfileReason(const std::string& name, const std::string& profileClass,
                          CTerror code) {
    if (code == CTerr_NotFound)
        return "no such profile " + Quoted(name) + " of class " + Quoted(profileClass);
    if (code == CTerr_Exists)
        return "a profile " + Quoted(name) + " of class " + Quoted(profileClass) +
               " already exists";
    if (code == CTerr_InvalidArgument)
        return "profiles of class " + Quoted(profileClass) + " cannot be changed this way";
    return GeneralReason(code);
}

}  // namespace

ServiceLookup LookUpService(ECTF_AdminSession& session, const std::string& name) {
    ServiceLookup lookup;
    std::vector<TLVserviceStatus> statuses;
    if (session.GetServiceStatus({name}, statuses) && !statuses.empty()) {
        lookup.bFound = true;
        lookup.state = statuses.front().state;
        lookup.program = statuses.front().program;
    }
    return lookup;
}

std::string RefusalReason(ECTF_AdminSession& session, const std::string& command,
                          const std::vector<std::string>& objects, CTerror code) {
    if (code == CTerr_ConnectionLost)
        return GeneralReason(code);
    if (command == "start" || command == "stop" || command == "remove-service" ||
        command == "add-service")
        return ServiceReason(session, command, Object(objects, 0), code);
    if (command == "providers" && code == CTerr_NotFound)
        return "the server has no service providers";
    if (command == "set-level" && code == CTerr_InvalidArgument)
        return "the server does not take level " + Object(objects, 0);
    if (command == "remove-profile" || command == "show-profile")
        return ProfileReason(Object(objects, 0), Object(objects, 1), code);
    if (command == "export") {
        if (code == CTerr_Exists)
            return "the file " + Quoted(Object(objects, 2)) + " already exists";
        if (code == CTerr_FileCreate || code == CTerr_FileWrite)
            return "the file " + Quoted(Object(objects, 2)) + " cannot be written";
        return ProfileReason(Object(objects, 0), Object(objects, 1), code);
    }
    if (command == "import") {
        if (code == CTerr_FileOpen)
            return "the file " + Quoted(Object(objects, 0)) + " cannot be opened";
        if (code == CTerr_BadProfileFile)
            return "the file " + Quoted(Object(objects, 0)) + " is not a profile file";
        return ProfileReason(Object(objects, 1), Object(objects, 2), code);
    }
    return GeneralReason(code);
}
