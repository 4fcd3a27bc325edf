#include "tests/server/admin_calls.h"

#include <cstdio>
#include <functional>

#include "s100/proto/packed_strings.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

using tlv::wire::KVSet;
using tlv::wire::Request;

void put(KVSet& set, CTsymbol key, const std::function<void(tlv::wire::Value&)>& fill) {
    tlv::wire::Pair* pair = set.add_pairs();
    pair->set_key(key);
    fill(*pair->mutable_value());
}

const tlv::wire::Array* arrayOf(const KVSet& set, CTsymbol key) {
    for (const tlv::wire::Pair& pair : set.pairs()) {
        if (pair.key() == key && pair.value().has_array_value()) {
            return &pair.value().array_value();
        }
    }
    return nullptr;
}

}  // namespace

KVSet serviceDefinition(const ServiceSetup& setup) {
    KVSet set;
    if (setup.kind == SVC_KindExecutable) {
        put(set, SVC_CommandLine, [&](auto& v) { v.set_string_value(setup.commandLine); });
        put(set, SVC_MaxRestarts, [&](auto& v) { v.set_int_value(setup.maxRestarts); });
        put(set, SVC_StartTimeout, [](auto& v) { v.set_int_value(15); });
        put(set, SVC_ExitTimeout, [&](auto& v) { v.set_int_value(setup.exitTimeout); });
    } else {
        put(set, SVC_DLLPath, [](auto& v) { v.set_string_value("/opt/lib/libsim.so"); });
    }
    put(set, SVC_EmergencyTimeout, [&](auto& v) { v.set_int_value(setup.emergencyTimeout); });
    put(set, SVC_Disabled, [&](auto& v) { v.set_bool_value(setup.disabled ? 1 : 0); });
    if (setup.kind != 0) {
        put(set, SVC_Kind, [&](auto& v) { v.set_symbol_value(setup.kind); });
    }
    put(set, SVC_StartType, [&](auto& v) { v.set_symbol_value(setup.startType); });
    return set;
}

KVSet stringSet(CTsymbol key, const std::string& value) {
    KVSet set;
    put(set, key, [&](auto& v) { v.set_string_value(value); });
    return set;
}

Request getProfileInfo(const std::string& name, const std::string& profileClass,
                       bool withContents) {
    Request request;
    request.mutable_get_profile_info()->set_name(name);
    request.mutable_get_profile_info()->set_profile_class(profileClass);
    request.mutable_get_profile_info()->set_with_contents(withContents);
    return request;
}

Request addProfile(const std::string& name, const std::string& profileClass,
                   const KVSet& contents) {
    Request request;
    request.mutable_add_profile()->set_name(name);
    request.mutable_add_profile()->set_profile_class(profileClass);
    *request.mutable_add_profile()->mutable_contents() = contents;
    return request;
}

Request updateProfile(const std::string& name, const std::string& profileClass,
                      const KVSet& contents) {
    Request request;
    request.mutable_update_profile()->set_name(name);
    request.mutable_update_profile()->set_profile_class(profileClass);
    *request.mutable_update_profile()->mutable_contents() = contents;
    return request;
}

Request removeProfile(const std::string& name, const std::string& profileClass) {
    Request request;
    request.mutable_remove_profile()->set_name(name);
    request.mutable_remove_profile()->set_profile_class(profileClass);
    return request;
}

Request addService(const std::string& name, const KVSet& definition) {
    Request request;
    request.mutable_add_service()->set_name(name);
    *request.mutable_add_service()->mutable_definition() = definition;
    return request;
}

Request updateService(const std::string& name, const KVSet& definition) {
    Request request;
    request.mutable_update_service()->set_name(name);
    *request.mutable_update_service()->mutable_definition() = definition;
    return request;
}

Request removeService(const std::string& name) {
    Request request;
    request.mutable_remove_service()->set_name(name);
    return request;
}

Request startService(const std::string& name) {
    Request request;
    request.mutable_start_service()->set_name(name);
    return request;
}

Request stopService(const std::string& name, CTsymbol mode) {
    Request request;
    request.mutable_stop_service()->set_name(name);
    request.mutable_stop_service()->set_mode(mode);
    return request;
}

Request getServiceState() {
    Request request;
    request.mutable_get_service_state();
    return request;
}

Request getServiceStatus(const std::vector<std::string>& names) {
    Request request;
    auto* call = request.mutable_get_service_status();
    for (const std::string& name : names) {
        call->add_names(name);
    }
    return request;
}

Request getSPInfo() {
    Request request;
    request.mutable_get_sp_info();
    return request;
}

Request getServerLevel() {
    Request request;
    request.mutable_get_server_level();
    return request;
}

Request setLevel(int level, CTsymbol mode) {
    Request request;
    request.mutable_set_target_server_level()->set_level(level);
    request.mutable_set_target_server_level()->set_mode(mode);
    return request;
}

CTerror call(tlv::wire::ClientConnection& connection, Request request,
             tlv::wire::Response* response) {
    tlv::wire::Response local;
    tlv::wire::Response& target = response != nullptr ? *response : local;
    const CTerror transport = connection.call(request, target);
    return transport != CTerr_NoError ? transport : target.error();
}

std::vector<std::string> strings(const KVSet& set, CTsymbol key) {
    std::vector<std::string> out;
    if (const tlv::wire::Array* array = arrayOf(set, key)) {
        for (const auto& element : array->elements()) {
            out.push_back(element.string_value());
        }
        tlv::wire::forEachPacked(array->packed_strings(), [&out](std::string_view text) {
            out.emplace_back(text);
            return true;
        });
    }
    return out;
}

std::vector<CTsymbol> symbols(const KVSet& set, CTsymbol key) {
    std::vector<CTsymbol> out;
    if (const tlv::wire::Array* array = arrayOf(set, key)) {
        for (const auto& element : array->elements()) {
            out.push_back(element.symbol_value());
        }
    }
    return out;
}

std::vector<std::uint32_t> bools(const KVSet& set, CTsymbol key) {
    std::vector<std::uint32_t> out;
    if (const tlv::wire::Array* array = arrayOf(set, key)) {
        for (const auto& element : array->elements()) {
            out.push_back(element.bool_value());
        }
    }
    return out;
}

CTsymbol serviceState(tlv::wire::ClientConnection& connection, const std::string& name) {
    tlv::wire::Response response;
    if (call(connection, getServiceState(), &response) != CTerr_NoError) {
        return 0;
    }
    const auto names = strings(response.result(), KEY_ServiceNames);
    const auto states = symbols(response.result(), KEY_ServiceStates);
    for (std::size_t i = 0; i < names.size() && i < states.size(); ++i) {
        if (names[i] == name) {
            return states[i];
        }
    }
    return 0;
}

bool waitForState(tlv::wire::ClientConnection& connection, const std::string& name, CTsymbol state,
                  std::chrono::milliseconds timeout) {
    return waitUntil([&] { return serviceState(connection, name) == state; }, timeout);
}

int waitForPidFile(const std::string& path) {
    int pid = 0;
    waitUntil([&] {
        FILE* file = std::fopen(path.c_str(), "r");
        if (file == nullptr) {
            return false;
        }
        const bool read = std::fscanf(file, "%d", &pid) == 1;
        std::fclose(file);
        return read;
    });
    return pid;
}

}  // namespace tlv::test
