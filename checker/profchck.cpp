#include "checker/profchck.h"

#include <memory>
#include <new>
#include <span>
#include <string_view>

#include "checker/destindex.h"
#include "checker/ismemberof.h"
#include "checker/kvsread.h"
#include "checker/ruletext.h"
#include "checker/simplekvset.h"
#include "resources/stringids.h"
#include "resources/stringtable.h"
#include "session/admsess.h"

namespace {

// The checker of the first profile of a class whose only profile matters, under the class
// name; null when there is none.
template <typename Checker>
std::unique_ptr<Checker> LoadFirstProfile(const ProfileQueryResult& query, unsigned nameId) {
    std::span<const CTkvs> contents;
    if (query.outcome != QueryOutcome::Found ||
        !kvsread::KVSetArray(query.result, KEY_ProfileContents, contents) || contents.empty()) {
        return nullptr;
    }
    std::unique_ptr<Checker> checker(new (std::nothrow) Checker);
    if (checker != nullptr) {
        checker->Load(StringTable::Text(nameId), contents.front());
    }
    return checker;
}

void AppendRunFinding(Array<CheckMessage>& messages, CE_Type type, unsigned textId) {
    AddFinding(messages, CheckMessage(type, std::string(), StringTable::Text(textId)));
}

}  // namespace

ProfileChecker::ProfileChecker(ECTF_AdminSession& session) : m_session(session) {}

int ProfileChecker::Check(Array<CheckMessage>& messages) {
    // One query after the other, in this order, so that the server sees the calls in order.
    ApplicationRun applications;
    applications.SetProgress(m_progress);
    QueryApplications(applications);
    const SimpleKVSet asiMap;
    const SimpleKVSet routingRules;
    const ProfileQueryResult asiMapResult = Query(IDS_ASIMAP_CLASS, asiMap.Handle());
    const ProfileQueryResult routingRulesResult =
        Query(IDS_ROUTINGRULES_CLASS, routingRules.Handle());
    return CheckRest(applications, asiMapResult, routingRulesResult, messages);
}

int ProfileChecker::CheckWholeAnswers(Array<CheckMessage>& messages) {
    const SimpleKVSet applications;
    const SimpleKVSet asiMap;
    const SimpleKVSet routingRules;
    const ProfileQueryResult applicationResult =
        Query(IDS_APPLICATION_CLASS, applications.Handle());
    const ProfileQueryResult asiMapResult = Query(IDS_ASIMAP_CLASS, asiMap.Handle());
    const ProfileQueryResult routingRulesResult =
        Query(IDS_ROUTINGRULES_CLASS, routingRules.Handle());
    return CheckQueried(applicationResult, asiMapResult, routingRulesResult, messages);
}

// A query that fails half-way, including a part that cannot be read, leaves no application
// checkers; nothing found leaves none to check.
void ProfileChecker::QueryApplications(ApplicationRun& applications) {
    if (m_session.GetProfileInfoInParts("", StringTable::Text(IDS_APPLICATION_CLASS), 1,
                                        &ApplicationRun::TakePart, &applications) == 0 &&
        m_session.LastError() != CTerr_NotFound) {
        applications.MarkFailed();
    }
}

ProfileQueryResult ProfileChecker::Query(unsigned classTextId, CTkvs result) {
    if (m_session.GetProfileInfo("", StringTable::Text(classTextId), 1, result) != 0) {
        return {QueryOutcome::Found, result};
    }
    const bool nothingFound = m_session.LastError() == CTerr_NotFound;
    return {nothingFound ? QueryOutcome::NothingFound : QueryOutcome::Failed, result};
}

int ProfileChecker::CheckQueried(const ProfileQueryResult& applications,
                                 const ProfileQueryResult& asiMap,
                                 const ProfileQueryResult& routingRules,
                                 Array<CheckMessage>& messages) {
    ApplicationRun run;
    if (applications.outcome == QueryOutcome::Found) {
        run.TakeProfiles(applications.result);
    } else if (applications.outcome == QueryOutcome::Failed) {
        run.MarkFailed();
    }
    return CheckRest(run, asiMap, routingRules, messages);
}

int ProfileChecker::CheckRest(ApplicationRun& applications, const ProfileQueryResult& asiMap,
                              const ProfileQueryResult& routingRules,
                              Array<CheckMessage>& messages) {
    try {
        int result = 1;
        const auto asiMapChecker = LoadFirstProfile<ASIMapChecker>(asiMap, IDS_ASIMAP_CLASS);
        if (asiMapChecker == nullptr) {
            AppendRunFinding(messages, CE_Error, IDS_ASIMAP_NOT_FOUND);
            result = 0;
        }
        const auto rulesChecker =
            LoadFirstProfile<RRProfChecker>(routingRules, IDS_ROUTINGRULES_CLASS);
        if (rulesChecker == nullptr) {
            AppendRunFinding(messages, CE_Error, IDS_ROUTINGRULES_NOT_FOUND);
            result = 0;
        }
        if (applications.Failed() || asiMapChecker == nullptr || rulesChecker == nullptr) {
            AppendRunFinding(messages, CE_Fatal, IDS_EXTRACTION_FAILED);
            return 0;
        }
        // The profiles were checked one by one in index order: their findings stand as if all
        // were loaded first.
        applications.MoveFindingsTo(messages);
        rulesChecker->Check(messages);
        asiMapChecker->Check(messages);
        InterProfCheck(applications.Names(), *asiMapChecker, *rulesChecker, messages);
        return result;
    } catch (const std::bad_alloc&) {
        // Out of memory while copying texts: the findings so far stay, the run failed.
        return 0;
    }
}

void ProfileChecker::InterProfCheck(const ApplicationNames& applications,
                                    const ASIMapChecker& asiMap, const RRProfChecker& routingRules,
                                    Array<CheckMessage>& messages) {
    const std::string scrAppProfile = StringTable::Text(IDS_SCR_APP_PROFILE);
    const std::string asiMapName = StringTable::Text(IDS_ASIMAP_CLASS);
    const Array<std::string> routingAsis = routingRules.GetInboundASIList();
    const Array<std::string> mapSourceProfiles = asiMap.GetSourceProfiles();
    const Array<std::string> scrAsis = asiMap.GetSourceASIs(scrAppProfile);
    // The application names serve only as a set to look names up in. A destination is missing
    // from the applications exactly when no application endpoint matched it.
    MemberIndex appNames;
    DestinationIndex destinations(asiMap);
    for (std::size_t p = 0; p < applications.Count(); ++p) {
        const std::string_view profile = applications.Profile(p);
        for (std::size_t a = 0; a < applications.AsiCount(p); ++a) {
            const std::string_view asi = applications.Asi(p, a);
            if (!destinations.Match({profile, asi})) {
                AddFinding(messages, RuleFinding(CE_Warning, std::string(profile),
                                                 IDS_CHK_ASI_NOT_DESTINATION, {asi, profile}));
            }
        }
        appNames.Add(profile);
    }

    // Every element of subjects missing from known gives one finding about profile.
    const auto reportMissing = [&messages](const Array<std::string>& subjects,
                                           const MemberIndex& known, CE_Type type,
                                           const std::string& profile, unsigned textId) {
        for (int i = 0; i < subjects.Size(); ++i) {
            const std::string_view subject = TextAt(subjects, i);
            if (!known.Contains(subject)) {
                AddFinding(messages, RuleFinding(type, profile, textId, {subject}));
            }
        }
    };
    reportMissing(routingAsis, MemberIndex(scrAsis), CE_Error, scrAppProfile,
                  IDS_CHK_ROUTING_ASI_NOT_MAPPED);
    reportMissing(scrAsis, MemberIndex(routingAsis), CE_Error, scrAppProfile,
                  IDS_CHK_SCR_ASI_NOT_ROUTED);
    reportMissing(mapSourceProfiles, appNames, CE_Error, asiMapName,
                  IDS_CHK_SOURCE_PROFILE_MISSING);
    destinations.ForEachUnmatched([&messages, &asiMapName](const EndpointView& destination) {
        AddFinding(messages,
                   RuleFinding(CE_Error, asiMapName, IDS_CHK_ENDPOINT_MISSING, {destination.Text()}));
    });
}
