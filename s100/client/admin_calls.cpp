// The administrative calls of the C API: each builds its request, runs it over the session and
// leaves the outcome in the record.
#include <span>
#include <string>

#include "s100/client/call_record.h"
#include "s100/client/call_runner.h"
#include "s100/client/kvs_exchange.h"
#include "s100/s100.h"

using tlv::client::argumentText;
using tlv::client::finishCall;
using tlv::wire::Request;

namespace {

constexpr CTsymbol kProfileKeys[] = {KEY_ProfileNames, KEY_ProfileClasses};
constexpr CTsymbol kProfileKeysWithContents[] = {KEY_ProfileNames, KEY_ProfileClasses,
                                                 KEY_ProfileContents};
constexpr CTsymbol kServiceKeys[] = {KEY_ServiceNames, KEY_ServiceStates, SVC_StartType,
                                     SVC_Disabled};
constexpr CTsymbol kProviderKeys[] = {KEY_SPNames, KEY_SPAvailable};

CTstatus runCommand(CTsession session, Request& request, CTevtinfo* record) {
    return finishCall(record, tlv::client::runCommand(session, request));
}

CTstatus writeProfile(CTsession session, tlv::wire::ProfileWrite* call, const char* name,
                      const char* profileClass, CTkvs contents, Request& request,
                      CTevtinfo* record) {
    call->set_name(argumentText(name));
    call->set_profile_class(argumentText(profileClass));
    // A set the library cannot send is refused before anything goes out.
    if (const CTerror error = tlv::client::wireFromHandle(contents, *call->mutable_contents());
        error != CTerr_NoError) {
        return finishCall(record, error);
    }
    return runCommand(session, request, record);
}

CTstatus writeService(CTsession session, tlv::wire::ServiceWrite* call, const char* name,
                      CTkvs definition, Request& request, CTevtinfo* record) {
    call->set_name(argumentText(name));
    if (const CTerror error = tlv::client::wireFromHandle(definition, *call->mutable_definition());
        error != CTerr_NoError) {
        return finishCall(record, error);
    }
    return runCommand(session, request, record);
}

void askProfileInfo(Request& request, const char* name, const char* profileClass,
                    int32_t withContents) {
    auto* call = request.mutable_get_profile_info();
    call->set_name(argumentText(name));
    call->set_profile_class(argumentText(profileClass));
    call->set_with_contents(withContents == 1);
}

}  // namespace

extern "C" {

CTstatus CTadm_GetProfileInfo(CTsession session, const char* name, const char* profile_class,
                              int32_t with_contents, CTkvs /*kvs*/, CTevtinfo* record,
                              void* /*reserved*/) {
    Request request;
    askProfileInfo(request, name, profile_class, with_contents);
    const std::span<const CTsymbol> keys =
        with_contents == 1 ? std::span<const CTsymbol>(kProfileKeysWithContents) : kProfileKeys;
    return finishCall(record, tlv::client::runQuery(session, request, record, keys));
}

CTstatus CTadm_GetProfileInfoInParts(CTsession session, const char* name, const char* profile_class,
                                     int32_t with_contents, CTprofilePartHandler handler,
                                     void* context, CTevtinfo* record) {
    if (handler == nullptr) {
        return finishCall(record, CTerr_InvalidArgument);
    }
    Request request;
    askProfileInfo(request, name, profile_class, with_contents);
    return finishCall(record, tlv::client::runQueryInParts(session, request, handler, context));
}

CTstatus CTadm_GetServiceState(CTsession session, const char* /*reserved_text*/, CTkvs /*kvs*/,
                               CTevtinfo* record, void* /*reserved*/) {
    Request request;
    request.mutable_get_service_state();
    return finishCall(record, tlv::client::runQuery(session, request, record, kServiceKeys));
}

CTstatus CTadm_GetSPInfo(CTsession session, const char* /*reserved_text*/, CTkvs /*kvs*/,
                         CTevtinfo* record, void* /*reserved*/) {
    Request request;
    request.mutable_get_sp_info();
    return finishCall(record, tlv::client::runQuery(session, request, record, kProviderKeys));
}

CTstatus CTadm_GetServerLevel(CTsession session, int32_t* level, CTevtinfo* record,
                              void* /*reserved*/) {
    if (level == nullptr) {
        return finishCall(record, CTerr_InvalidArgument);
    }
    Request request;
    request.mutable_get_server_level();
    tlv::client::Answer answer;
    CTerror error = tlv::client::runRequest(session, request, answer);
    if (error == CTerr_NoError) {
        error = answer.error;
    }
    if (error == CTerr_NoError) {
        *level = answer.response.level();
    }
    return finishCall(record, error);
}

CTstatus CTadm_SetTargetServerLevel(CTsession session, int32_t level, CTsymbol mode,
                                    CTevtinfo* record, void* /*reserved*/) {
    Request request;
    auto* call = request.mutable_set_target_server_level();
    call->set_level(level);
    call->set_mode(mode);
    return runCommand(session, request, record);
}

CTstatus CTadm_AddProfile(CTsession session, const char* name, const char* profile_class,
                          CTkvs contents, CTevtinfo* record, void* /*reserved*/) {
    Request request;
    return writeProfile(session, request.mutable_add_profile(), name, profile_class, contents,
                        request, record);
}

CTstatus CTadm_UpdateProfile(CTsession session, const char* name, const char* profile_class,
                             CTkvs contents, CTevtinfo* record, void* /*reserved*/) {
    Request request;
    return writeProfile(session, request.mutable_update_profile(), name, profile_class, contents,
                        request, record);
}

CTstatus CTadm_RemoveProfile(CTsession session, const char* name, const char* profile_class,
                             CTevtinfo* record, void* /*reserved*/) {
    Request request;
    auto* call = request.mutable_remove_profile();
    call->set_name(argumentText(name));
    call->set_profile_class(argumentText(profile_class));
    return runCommand(session, request, record);
}

CTstatus CTadm_AddService(CTsession session, const char* name, CTkvs definition, CTevtinfo* record,
                          void* /*reserved*/) {
    Request request;
    return writeService(session, request.mutable_add_service(), name, definition, request, record);
}

CTstatus CTadm_UpdateService(CTsession session, const char* name, CTkvs definition,
                             CTevtinfo* record, void* /*reserved*/) {
    Request request;
    return writeService(session, request.mutable_update_service(), name, definition, request,
                        record);
}

CTstatus CTadm_RemoveService(CTsession session, const char* name, CTevtinfo* record,
                             void* /*reserved*/) {
    Request request;
    request.mutable_remove_service()->set_name(argumentText(name));
    return runCommand(session, request, record);
}

CTstatus CTadm_StartService(CTsession session, const char* name, CTevtinfo* record,
                            void* /*reserved*/) {
    Request request;
    request.mutable_start_service()->set_name(argumentText(name));
    return runCommand(session, request, record);
}

CTstatus CTadm_StopService(CTsession session, const char* name, CTsymbol mode, CTevtinfo* record,
                           void* /*reserved*/) {
    Request request;
    auto* call = request.mutable_stop_service();
    call->set_name(argumentText(name));
    call->set_mode(mode);
    return runCommand(session, request, record);
}

}  // extern "C"
