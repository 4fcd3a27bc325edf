#pragma once
// The Telvane Services of the server: their definitions (profiles of class "TLVS_Service" in the
// store) together with their run state (the supervisor). Every change is committed to the store
// before its outcome is returned.

#include <string>
#include <utility>
#include <vector>

#include "s100/errors.h"
#include "s100/proto/kvset.pb.h"
#include "server/profile_store.h"
#include "server/service_definition.h"
#include "server/supervisor.h"

namespace tlv::server {

class ServiceTable final {
public:
    using NamedDefinition = std::pair<std::string, ServiceDefinition>;

    ServiceTable(ProfileStore& store, ServiceSupervisor& supervisor);

    // CTerr_InvalidArgument, with nothing stored, when the executable is not on this machine.
    CTerror add(const std::string& name, const tlv::wire::KVSet& definition);
    // As add for an unknown name, except that a definition whose executable is not on this
    // machine is stored all the same and answered CTerr_NotFound; CTerr_Deferred when the
    // service is active: the new definition applies from its next start.
    CTerror update(const std::string& name, const tlv::wire::KVSet& definition);
    // CTerr_Deferred for an active service: its definition goes now, the service when it stops.
    CTerror remove(const std::string& name);
    CTerror start(const std::string& name);
    CTerror stop(const std::string& name, CTsymbol mode);

    // KEY_ServiceNames, KEY_ServiceStates, SVC_StartType, SVC_Disabled by service name;
    // CTerr_NotFound when there is no service.
    CTerror states(tlv::wire::KVSet& result) const;

    // Level changes: start the idle, enabled services of the group, or stop its active ones.
    enum class Group { Mandatory, Optional };
    void startGroup(Group group);
    void stopGroup(Group group, StopMode mode);

    // Every service by name, those marked for removal and still running included; false when
    // the store cannot be read.
    bool listDefinitions(std::vector<NamedDefinition>& out) const;
    const ServiceSupervisor& supervisor() const { return m_supervisor; }

private:
    CTerror write(const std::string& name, const tlv::wire::KVSet& definition, bool isUpdate);
    bool loadAll(std::vector<NamedDefinition>& out) const;
    bool load(const std::string& name, ServiceDefinition& definition) const;

    ProfileStore& m_store;
    ServiceSupervisor& m_supervisor;
};

}  // namespace tlv::server
