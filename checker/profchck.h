#pragma once
// ProfileChecker: one check run over the connected server's application profiles, ASI map
// and routing rules. The run reads the three classes, checks each profile by itself, then
// checks the profiles against one another, and appends every finding in that order.

#include <cstdint>

#include "checker/appcheck.h"
#include "checker/array.h"
#include "checker/asicheck.h"
#include "checker/checkmessage.h"
#include "checker/rrcheck.h"
#include "s100/s100.h"

class ECTF_AdminSession;

// What a profile query of one class gave: the profiles in result, no profile at all, or a
// failure.
enum class QueryOutcome { Found, NothingFound, Failed };

struct ProfileQueryResult {
    QueryOutcome outcome;
    CTkvs result;  // KEY_ProfileNames and KEY_ProfileContents when Found
};

class ProfileChecker {
public:
    explicit ProfileChecker(ECTF_AdminSession& session);

    // Runs the whole check, appending to what messages holds. 0 when the ASI map or the
    // routing rules were not found or the server data could not be read, else 1: what the
    // rules find does not change the result.
    int Check(Array<CheckMessage>& messages);

    // The run after its three queries: Check is the queries and this. The results must stay
    // alive until it returns.
    static int CheckQueried(const ProfileQueryResult& applications,
                            const ProfileQueryResult& asiMap,
                            const ProfileQueryResult& routingRules, Array<CheckMessage>& messages);

protected:
    // The rules across profiles.
    static void InterProfCheck(const AppProfChecker* appCheckers, std::uint32_t count,
                               const ASIMapChecker& asiMap, const RRProfChecker& routingRules,
                               Array<CheckMessage>& messages);

private:
    ProfileQueryResult Query(unsigned classTextId, CTkvs result);

    ECTF_AdminSession& m_session;
};
