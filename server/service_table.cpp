#include "server/service_table.h"

#include <algorithm>

#include "server/kvset_check.h"
#include "server/log.h"
#include "server/process.h"
#include "server/wire_kvset.h"

namespace tlv::server {
namespace {

ServiceTable::Group groupOf(const ServiceDefinition& definition) {
    // Root services are as essential as mandatory ones; an unknown type is optional.
    return definition.startType == SVC_Mandatory || definition.startType == SVC_Root
               ? ServiceTable::Group::Mandatory
               : ServiceTable::Group::Optional;
}

bool isBusy(CTsymbol state) {
    return state == SVC_StateStarting || state == SVC_StateStopping;
}

}  // namespace

ServiceTable::ServiceTable(ProfileStore& store, ServiceSupervisor& supervisor)
    : m_store(store), m_supervisor(supervisor) {}

CTerror ServiceTable::write(const std::string& name, const tlv::wire::KVSet& definition,
                            bool isUpdate) {
    if (const CTerror nameError = checkServiceName(name); nameError != CTerr_NoError) {
        return nameError;
    }
    if (const CTerror setError = checkIncomingKvSet(definition); setError != CTerr_NoError) {
        return setError;
    }
    ServiceDefinition read;
    if (const CTerror error = readServiceDefinition(definition, read); error != CTerr_NoError) {
        return error;
    }
    // A service marked for removal still runs under its name until it stops.
    if (m_supervisor.isMarkedForRemoval(name)) {
        return isUpdate ? CTerr_NotFound : CTerr_Exists;
    }
    // Looked for before anything is stored, so a definition is never half written when it is
    // told apart. It is stored all the same: its program may be on its way, and the operator is
    // told not to start it until it is there.
    const bool programMissing =
        read.kind == SVC_KindExecutable && !executableExists(read.commandLine);
    StoredProfile profile{name, kServiceClass, definition.SerializeAsString()};
    StoreResult result = isUpdate ? m_store.update(profile) : m_store.insert(profile);
    if (isUpdate && result == StoreResult::NotFound) {
        result = m_store.insert(profile);
    }
    if (result == StoreResult::Exists) {
        return CTerr_Exists;
    }
    if (result != StoreResult::Ok) {
        logEvent("cannot store service %s: %s", printable(name).c_str(),
                 m_store.lastError().c_str());
        return CTerr_StoreFailed;
    }
    if (programMissing) {
        return CTerr_NotFound;
    }
    return isUpdate && m_supervisor.isActive(name) ? CTerr_Deferred : CTerr_NoError;
}

CTerror ServiceTable::add(const std::string& name, const tlv::wire::KVSet& definition) {
    return write(name, definition, false);
}

CTerror ServiceTable::update(const std::string& name, const tlv::wire::KVSet& definition) {
    return write(name, definition, true);
}

CTerror ServiceTable::remove(const std::string& name) {
    ServiceDefinition definition;
    if (!load(name, definition)) {
        return CTerr_NotFound;
    }
    const CTsymbol state = m_supervisor.state(name);
    if (isBusy(state)) {
        return CTerr_ServiceBusy;
    }
    const StoreResult removed = m_store.remove(name, kServiceClass);
    if (removed != StoreResult::Ok) {
        return removed == StoreResult::NotFound ? CTerr_NotFound : CTerr_StoreFailed;
    }
    if (m_supervisor.isActive(name)) {
        m_supervisor.markForRemoval(name);
        return CTerr_Deferred;
    }
    m_supervisor.forget(name);
    return CTerr_NoError;
}

CTerror ServiceTable::start(const std::string& name) {
    ServiceDefinition definition;
    if (!load(name, definition)) {
        return CTerr_NotFound;
    }
    if (definition.disabled) {
        return CTerr_InvalidArgument;
    }
    return m_supervisor.start(name, definition);
}

CTerror ServiceTable::stop(const std::string& name, CTsymbol mode) {
    if (mode != LEVEL_CHANGE_NORMAL && mode != LEVEL_CHANGE_EMERGENCY) {
        return CTerr_InvalidArgument;
    }
    ServiceDefinition definition;
    if (!load(name, definition) && !m_supervisor.isMarkedForRemoval(name)) {
        return CTerr_NotFound;
    }
    return m_supervisor.stop(
        name, mode == LEVEL_CHANGE_EMERGENCY ? StopMode::Emergency : StopMode::Normal);
}

bool ServiceTable::listDefinitions(std::vector<NamedDefinition>& out) const {
    if (!loadAll(out)) {
        return false;
    }
    for (ServiceSupervisor::Orphan& orphan : m_supervisor.markedForRemoval()) {
        out.emplace_back(std::move(orphan.name), std::move(orphan.definition));
    }
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return true;
}

CTerror ServiceTable::states(tlv::wire::KVSet& result) const {
    std::vector<NamedDefinition> services;
    if (!listDefinitions(services)) {
        return CTerr_StoreFailed;
    }
    if (services.empty()) {
        return CTerr_NotFound;
    }
    std::vector<std::string> names;
    std::vector<CTsymbol> runStates;
    std::vector<CTsymbol> types;
    std::vector<bool> disabled;
    for (const auto& [name, definition] : services) {
        names.push_back(name);
        runStates.push_back(m_supervisor.state(name));
        types.push_back(definition.startType);
        disabled.push_back(definition.disabled);
    }
    putStringArray(result, KEY_ServiceNames, names);
    putSymbolArray(result, KEY_ServiceStates, runStates);
    putSymbolArray(result, SVC_StartType, types);
    putBoolArray(result, SVC_Disabled, disabled);
    return CTerr_NoError;
}

void ServiceTable::startGroup(Group group) {
    std::vector<NamedDefinition> services;
    loadAll(services);
    for (const auto& [name, definition] : services) {
        if (groupOf(definition) == group && !definition.disabled && !m_supervisor.isActive(name)) {
            m_supervisor.start(name, definition);
        }
    }
}

void ServiceTable::stopGroup(Group group, StopMode mode) {
    std::vector<NamedDefinition> services;
    loadAll(services);
    for (const auto& [name, definition] : services) {
        if (groupOf(definition) == group && m_supervisor.isActive(name)) {
            m_supervisor.stop(name, mode);
        }
    }
}

bool ServiceTable::loadAll(std::vector<NamedDefinition>& out) const {
    std::vector<StoredProfile> profiles;
    if (!m_store.list("", kServiceClass, true, profiles)) {
        logEvent("cannot read the services: %s", m_store.lastError().c_str());
        return false;
    }
    for (const StoredProfile& profile : profiles) {
        // A stored record that no longer reads is still listed, with the defaults.
        ServiceDefinition definition;
        tlv::wire::KVSet set;
        if (set.ParseFromString(profile.contents)) {
            readServiceDefinition(set, definition);
        }
        out.emplace_back(profile.name, std::move(definition));
    }
    return true;
}

bool ServiceTable::load(const std::string& name, ServiceDefinition& definition) const {
    std::vector<StoredProfile> profiles;
    if (name.empty() || !m_store.list(name, kServiceClass, true, profiles) || profiles.empty()) {
        return false;
    }
    tlv::wire::KVSet set;
    return set.ParseFromString(profiles.front().contents) &&
           readServiceDefinition(set, definition) == CTerr_NoError;
}

}  // namespace tlv::server
