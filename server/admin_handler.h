#pragma once
// Answers the administrative calls: profiles, services, providers and the level.

#include <memory>
#include <string>
#include <vector>

#include "s100/errors.h"
#include "s100/proto/admin.pb.h"
#include "server/answer_source.h"
#include "server/contents_answer.h"
#include "server/list_answers.h"
#include "server/options.h"
#include "server/profile_store.h"
#include "server/server_level.h"
#include "server/service_table.h"

namespace tlv::server {

class AdminHandler final {
public:
    // Answers with contents are read part by part as reading says, unless the store is in
    // memory.
    AdminHandler(ProfileStore& store, ServiceTable& services, ServerLevel& level,
                 std::vector<ServiceProvider> providers, ContentsReading reading = {});

    // Carries out request; its answer is sent part by part as the client takes it.
    std::unique_ptr<AnswerSource> answer(const tlv::wire::Request& request);

private:
    CTerror getProfileInfo(const tlv::wire::GetProfileInfo& call, tlv::wire::KVSet& result) const;
    CTerror writeProfile(const tlv::wire::ProfileWrite& call, bool isUpdate);
    CTerror removeProfile(const tlv::wire::RemoveProfile& call);
    CTerror getSPInfo(tlv::wire::KVSet& result) const;
    std::unique_ptr<AnswerSource> listAnswer(const tlv::wire::Request& request);
    CTerror dispatch(const tlv::wire::Request& request, tlv::wire::Response& response);

    ProfileStore& m_store;
    ServiceTable& m_services;
    ServerLevel& m_level;
    std::vector<ServiceProvider> m_providers;
    ContentsReading m_reading;
    ListAnswers m_lists;
};

}  // namespace tlv::server
