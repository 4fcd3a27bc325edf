#include "server/admin_handler.h"

#include "s100/names.h"
#include "s100/wire/frame_budget.h"

#include "server/kvset_check.h"
#include "server/log.h"
#include "server/service_status.h"
#include "server/wire_kvset.h"

namespace tlv::server {
namespace {

using tlv::wire::Request;

// Names already stored are found by any text the store could hold, so that a profile stored
// before the name rules were strict can still be changed or removed; new names follow them.
bool isStoredName(const std::string& text) {
    return !text.empty() && text.size() <= s100::kMaxProfileNameBytes &&
           text.find('\0') == std::string::npos;
}

bool isNewName(const std::string& text) {
    return s100::isProfileName(text);
}

// Service definitions go through the service calls only, so that the run state and the stored
// definitions cannot drift apart.
CTerror checkProfileIdentity(const std::string& name, const std::string& profileClass,
                             bool isNew) {
    bool (*const usable)(const std::string&) = isNew ? isNewName : isStoredName;
    if (!usable(name) || !usable(profileClass) || profileClass == kServiceClass) {
        return CTerr_InvalidArgument;
    }
    return CTerr_NoError;
}

CTerror fromStore(StoreResult result, const ProfileStore& store) {
    switch (result) {
        case StoreResult::Ok:
            return CTerr_NoError;
        case StoreResult::NotFound:
            return CTerr_NotFound;
        case StoreResult::Exists:
            return CTerr_Exists;
        case StoreResult::Failed:
            break;
    }
    logEvent("store failure: %s", store.lastError().c_str());
    return CTerr_StoreFailed;
}

}  // namespace

AdminHandler::AdminHandler(ProfileStore& store, ServiceTable& services, ServerLevel& level,
                           std::vector<ServiceProvider> providers, ContentsReading reading)
    : m_store(store),
      m_services(services),
      m_level(level),
      m_providers(std::move(providers)),
      m_reading(std::move(reading)) {}

std::unique_ptr<AnswerSource> AdminHandler::answer(const Request& request) {
    if (std::unique_ptr<AnswerSource> listed = listAnswer(request)) {
        return listed;
    }
    tlv::wire::Response response;
    response.set_id(request.id());
    const CTerror error = dispatch(request, response);
    response.set_error(error);
    if (error != CTerr_NoError) {
        response.clear_result();
    }
    return std::make_unique<WholeAnswer>(std::move(response));
}

// The lists clients refresh, kept and shared between clients, and contents read part by part;
// null for every other call.
std::unique_ptr<AnswerSource> AdminHandler::listAnswer(const Request& request) {
    std::shared_ptr<const tlv::wire::Response> kept;
    CTerror error = CTerr_NoError;
    switch (request.call_case()) {
        case Request::kGetProfileInfo: {
            const tlv::wire::GetProfileInfo& call = request.get_profile_info();
            if (call.with_contents()) {
                // Contents are too large to keep; a store in memory is read whole instead.
                return m_reading.storePath.empty()
                           ? nullptr
                           : std::make_unique<ContentsAnswer>(m_reading, call, request.id());
            }
            // The name's length keeps "ab" + "c" apart from "a" + "bc".
            const std::string query = "profiles " + std::to_string(call.name().size()) + " " +
                                      call.name() + call.profile_class();
            error = m_lists.answer(
                query, call.known_generation(), m_store.version(),
                [this, &call](tlv::wire::KVSet& result) { return getProfileInfo(call, result); },
                kept);
            break;
        }
        case Request::kGetServiceState:
            error = m_lists.answer(
                "services", request.get_service_state().known_generation(),
                ListAnswers::kAlwaysRead,
                [this](tlv::wire::KVSet& result) { return m_services.states(result); }, kept);
            break;
        case Request::kGetSpInfo:
            // The providers come from the configuration and never change while the server runs.
            error = m_lists.answer(
                "providers", request.get_sp_info().known_generation(), 0,
                [this](tlv::wire::KVSet& result) { return getSPInfo(result); }, kept);
            break;
        default:
            return nullptr;
    }
    if (error != CTerr_NoError) {
        tlv::wire::Response refusal;
        refusal.set_id(request.id());
        refusal.set_error(error);
        return std::make_unique<WholeAnswer>(std::move(refusal));
    }
    return std::make_unique<WholeAnswer>(std::move(kept), request.id());
}

CTerror AdminHandler::dispatch(const Request& request, tlv::wire::Response& response) {
    switch (request.call_case()) {
        case Request::kGetProfileInfo:  // with contents, from a store in memory
            return getProfileInfo(request.get_profile_info(), *response.mutable_result());
        case Request::kGetServiceState:
        case Request::kGetSpInfo:
            break;  // answered by listAnswer
        case Request::kGetServerLevel:
            response.set_level(m_level.level());
            return CTerr_NoError;
        case Request::kSetTargetServerLevel:
            return m_level.setTarget(request.set_target_server_level().level(),
                                     request.set_target_server_level().mode());
        case Request::kAddProfile:
            return writeProfile(request.add_profile(), false);
        case Request::kUpdateProfile:
            return writeProfile(request.update_profile(), true);
        case Request::kRemoveProfile:
            return removeProfile(request.remove_profile());
        case Request::kAddService:
            return m_services.add(request.add_service().name(), request.add_service().definition());
        case Request::kUpdateService:
            return m_services.update(request.update_service().name(),
                                     request.update_service().definition());
        case Request::kRemoveService:
            return m_services.remove(request.remove_service().name());
        case Request::kStartService:
            return m_services.start(request.start_service().name());
        case Request::kStopService:
            return m_services.stop(request.stop_service().name(), request.stop_service().mode());
        case Request::kGetServiceStatus:
            return answerServiceStatus(m_services, request.get_service_status(), response);
        case Request::CALL_NOT_SET:
            break;
    }
    return CTerr_InvalidArgument;
}

CTerror AdminHandler::getProfileInfo(const tlv::wire::GetProfileInfo& call,
                                     tlv::wire::KVSet& result) const {
    std::vector<StoredProfile> profiles;
    if (!m_store.list(call.name(), call.profile_class(), call.with_contents(), profiles)) {
        return fromStore(StoreResult::Failed, m_store);
    }
    if (profiles.empty()) {
        return CTerr_NotFound;
    }
    std::vector<std::string> names;
    std::vector<std::string> classes;
    std::vector<std::string> contents;
    for (StoredProfile& profile : profiles) {
        // Stored contents go out as stored; a walk over their wire form, which decodes
        // nothing, still keeps damaged ones from reaching a client.
        if (call.with_contents()) {
            if (!tlv::wire::fitsDecodeBudget(profile.contents, *tlv::wire::KVSet::descriptor())) {
                logEvent("stored contents of %s %s do not read", printable(profile.name).c_str(),
                         printable(profile.profileClass).c_str());
                return CTerr_StoreFailed;
            }
            contents.push_back(std::move(profile.contents));
        }
        names.push_back(std::move(profile.name));
        classes.push_back(std::move(profile.profileClass));
    }
    putStringArray(result, KEY_ProfileNames, names);
    putStringArray(result, KEY_ProfileClasses, classes);
    if (call.with_contents()) {
        putEncodedKVSetArray(result, KEY_ProfileContents, std::move(contents));
    }
    return CTerr_NoError;
}

CTerror AdminHandler::writeProfile(const tlv::wire::ProfileWrite& call, bool isUpdate) {
    if (const CTerror error = checkProfileIdentity(call.name(), call.profile_class(), !isUpdate);
        error != CTerr_NoError) {
        return error;
    }
    if (const CTerror error = checkIncomingKvSet(call.contents()); error != CTerr_NoError) {
        return error;
    }
    const StoredProfile profile{call.name(), call.profile_class(),
                                call.contents().SerializeAsString()};
    return fromStore(isUpdate ? m_store.update(profile) : m_store.insert(profile), m_store);
}

CTerror AdminHandler::removeProfile(const tlv::wire::RemoveProfile& call) {
    if (const CTerror error = checkProfileIdentity(call.name(), call.profile_class(), false);
        error != CTerr_NoError) {
        return error;
    }
    return fromStore(m_store.remove(call.name(), call.profile_class()), m_store);
}

CTerror AdminHandler::getSPInfo(tlv::wire::KVSet& result) const {
    if (m_providers.empty()) {
        return CTerr_NotFound;
    }
    std::vector<std::string> names;
    std::vector<bool> available;
    for (const ServiceProvider& provider : m_providers) {
        names.push_back(provider.name);
        available.push_back(provider.available);
    }
    putStringArray(result, KEY_SPNames, names);
    putBoolArray(result, KEY_SPAvailable, available);
    return CTerr_NoError;
}

}  // namespace tlv::server
