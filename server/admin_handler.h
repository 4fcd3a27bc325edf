#pragma once
// Answers the administrative calls: profiles, services, providers and the level.

#include <string>
#include <vector>

#include "s100/errors.h"
#include "s100/proto/admin.pb.h"
#include "server/list_answers.h"
#include "server/options.h"
#include "server/profile_store.h"
#include "server/server_level.h"
#include "server/service_table.h"

namespace tlv::server {

class AdminHandler final {
public:
    AdminHandler(ProfileStore& store, ServiceTable& services, ServerLevel& level,
                 std::vector<ServiceProvider> providers);

    // Fills response (id, error, result or level) for request.
    void handle(const tlv::wire::Request& request, tlv::wire::Response& response);

private:
    CTerror getProfileInfo(const tlv::wire::GetProfileInfo& call, tlv::wire::KVSet& result) const;
    CTerror writeProfile(const tlv::wire::ProfileWrite& call, bool isUpdate);
    CTerror removeProfile(const tlv::wire::RemoveProfile& call);
    CTerror getSPInfo(tlv::wire::KVSet& result) const;
    CTerror dispatch(const tlv::wire::Request& request, tlv::wire::Response& response);
    CTerror listProfiles(const tlv::wire::GetProfileInfo& call, tlv::wire::Response& response);

    ProfileStore& m_store;
    ServiceTable& m_services;
    ServerLevel& m_level;
    std::vector<ServiceProvider> m_providers;
    ListAnswers m_lists;
};

}  // namespace tlv::server
