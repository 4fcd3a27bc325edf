#pragma once
// ProfileChecker: one check run over the connected server's application profiles, ASI map
// and routing rules. The run reads the three classes, checks each profile by itself, then
// checks the profiles against one another, and appends every finding in that order. The
// application profiles are checked part by part as the server's answer arrives, so the run
// never holds all of them at once.

#include <cstddef>
#include <functional>

#include "checker/appcheck.h"
#include "checker/apprun.h"
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

    // Told, as the run goes, how many application profiles it has checked.
    void SetProgress(std::function<void(std::size_t checked)> progress) {
        m_progress = std::move(progress);
    }

    // The same run with each query's whole answer held at once, as the run was before it took
    // the application profiles part by part; kept to compare the two ways.
    int CheckWholeAnswers(Array<CheckMessage>& messages);

    // The same run over the whole results of the three queries, which must stay alive until it
    // returns: the findings are those Check gives for the same data.
    static int CheckQueried(const ProfileQueryResult& applications,
                            const ProfileQueryResult& asiMap,
                            const ProfileQueryResult& routingRules, Array<CheckMessage>& messages);

protected:
    // The rules across profiles.
    static void InterProfCheck(const ApplicationNames& applications, const ASIMapChecker& asiMap,
                               const RRProfChecker& routingRules, Array<CheckMessage>& messages);

private:
    // The run once the application profiles were checked: the ASI map and the routing rules,
    // then the findings in order.
    static int CheckRest(ApplicationRun& applications, const ProfileQueryResult& asiMap,
                         const ProfileQueryResult& routingRules, Array<CheckMessage>& messages);
    void QueryApplications(ApplicationRun& applications);
    ProfileQueryResult Query(unsigned classTextId, CTkvs result);

    ECTF_AdminSession& m_session;
    std::function<void(std::size_t checked)> m_progress;
};
