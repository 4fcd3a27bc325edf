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

// The application checkers of the query result, named but not yet loaded, with the contents
// each is to be loaded from (paired by index); no checkers when the result cannot be read. Names
// beyond the contents are not read; fewer names than contents is unreadable data. Running out
// of memory while naming them leaves no checkers, as failing to allocate them does.
struct AppCheckers {
    std::unique_ptr<AppProfChecker[]> checkers;
    std::span<const CTkvs> contents;
};

AppCheckers NameApplications(const ProfileQueryResult& query) {
    std::span<const char* const> names;
    std::span<const CTkvs> contents;
    if (query.outcome == QueryOutcome::Failed) {
        return {};
    }
    try {
        if (query.outcome == QueryOutcome::Found &&
            (!kvsread::StringArray(query.result, KEY_ProfileNames, names) ||
             !kvsread::KVSetArray(query.result, KEY_ProfileContents, contents) ||
             names.size() < contents.size())) {
            return {};
        }
        AppCheckers named{
            std::unique_ptr<AppProfChecker[]>(new (std::nothrow) AppProfChecker[contents.size()]),
            contents};
        for (std::size_t i = 0; named.checkers != nullptr && i < contents.size(); ++i) {
            named.checkers[i].SetName(kvsread::Text(names[i]));
        }
        return named;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

// Loads and checks one application profile in reader, then keeps in the profile's checker what
// the rules across profiles need. One reader serves every profile, so its lists keep their room
// rather than each profile growing lists of its own. The profile is read from a set of its own,
// so that what reading it hands out goes with that set rather than staying until the whole
// result goes.
void CheckApplication(AppProfChecker& reader, AppProfChecker& checker, CTkvs contents,
                      Array<CheckMessage>& messages) {
    const kvsread::PrivateCopy own(contents);
    reader.Load(checker.ProfileName(), own.Handle());
    reader.Check(messages);
    checker.KeepCrossProfileDataOf(reader);
}

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
    messages.Append(CheckMessage(type, CString(), StringTable::Text(textId)));
}

}  // namespace

ProfileChecker::ProfileChecker(ECTF_AdminSession& session) : m_session(session) {}

int ProfileChecker::Check(Array<CheckMessage>& messages) {
    const SimpleKVSet applications;
    const SimpleKVSet asiMap;
    const SimpleKVSet routingRules;
    // One query after the other, in this order, so that the server sees the calls in order.
    const ProfileQueryResult applicationResult =
        Query(IDS_APPLICATION_CLASS, applications.Handle());
    const ProfileQueryResult asiMapResult = Query(IDS_ASIMAP_CLASS, asiMap.Handle());
    const ProfileQueryResult routingRulesResult =
        Query(IDS_ROUTINGRULES_CLASS, routingRules.Handle());
    return CheckQueried(applicationResult, asiMapResult, routingRulesResult, messages);
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
    try {
        int result = 1;
        const AppCheckers applicationCheckers = NameApplications(applications);
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
        AppProfChecker* const appCheckers = applicationCheckers.checkers.get();
        if (appCheckers == nullptr || asiMapChecker == nullptr || rulesChecker == nullptr) {
            AppendRunFinding(messages, CE_Fatal, IDS_EXTRACTION_FAILED);
            return 0;
        }
        // Profile by profile, in index order: the findings stand as if all were loaded first.
        const auto count = static_cast<std::uint32_t>(applicationCheckers.contents.size());
        AppProfChecker reader;
        for (std::uint32_t i = 0; i < count; ++i) {
            CheckApplication(reader, appCheckers[i], applicationCheckers.contents[i], messages);
        }
        rulesChecker->Check(messages);
        asiMapChecker->Check(messages);
        InterProfCheck(appCheckers, count, *asiMapChecker, *rulesChecker, messages);
        return result;
    } catch (const std::bad_alloc&) {
        // Out of memory while copying texts: the findings so far stay, the run failed.
        return 0;
    }
}

void ProfileChecker::InterProfCheck(const AppProfChecker* appCheckers, std::uint32_t count,
                                    const ASIMapChecker& asiMap, const RRProfChecker& routingRules,
                                    Array<CheckMessage>& messages) {
    const CString scrAppProfile = StringTable::Text(IDS_SCR_APP_PROFILE);
    const CString asiMapName = StringTable::Text(IDS_ASIMAP_CLASS);
    const Array<CString> routingAsis = routingRules.GetInboundASIList();
    const Array<CString> mapSourceProfiles = asiMap.GetSourceProfiles();
    const Array<CString> scrAsis = asiMap.GetSourceASIs(scrAppProfile);
    // The application names serve only as a set to look names up in. A destination is missing
    // from the applications exactly when no application endpoint matched it.
    MemberIndex appNames;
    DestinationIndex destinations(asiMap);
    for (std::uint32_t i = 0; i < count; ++i) {
        const CString& profile = appCheckers[i].ProfileName();
        const Array<CString>& asis = appCheckers[i].GetASIList();
        for (int a = 0; a < asis.Size(); ++a) {
            const CString& asi = *asis[a];
            if (!destinations.Match({profile, asi})) {
                messages.Append(
                    RuleFinding(CE_Warning, profile, IDS_CHK_ASI_NOT_DESTINATION, {asi, profile}));
            }
        }
        appNames.Add(profile);
    }

    // Every element of subjects missing from known gives one finding about profile.
    const auto reportMissing = [&messages](const Array<CString>& subjects, const MemberIndex& known,
                                           CE_Type type, const CString& profile, unsigned textId) {
        for (int i = 0; i < subjects.Size(); ++i) {
            const std::string_view subject = TextAt(subjects, i);
            if (!known.Contains(subject)) {
                messages.Append(RuleFinding(type, profile, textId, {subject}));
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
        messages.Append(
            RuleFinding(CE_Error, asiMapName, IDS_CHK_ENDPOINT_MISSING, {destination.Text()}));
    });
}
