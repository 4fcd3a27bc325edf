#include "session/listqueries.h"

#include "session/outarray.h"

namespace {

// Runs call(session, answer), which returns the session's success flag, and notes its outcome;
// without a session the answer is the missing session's.
template <typename Answer, typename Call>
Answer Query(ECTF_AdminSession* session, Call call) {
    Answer answer;
    if (session != nullptr) {
        const long ok = call(*session, answer);
        static_cast<CallOutcome&>(answer) = OutcomeOf(session, ok);
    }
    return answer;
}

}  // namespace

CallOutcome OutcomeOf(const ECTF_AdminSession* session, long ok) {
    CallOutcome outcome;
    if (session != nullptr) {
        outcome.ok = ok;
        outcome.error = static_cast<CTerror>(session->LastError());
    }
    return outcome;
}

ProfileListAnswer QueryProfileList(ECTF_AdminSession* session) {
    return Query<ProfileListAnswer>(session, [](ECTF_AdminSession& s, ProfileListAnswer& answer) {
        return s.GetProfileList("", OutArray(answer.names), OutArray(answer.classes), answer.count);
    });
}

ServiceListAnswer QueryServiceList(ECTF_AdminSession* session) {
    return Query<ServiceListAnswer>(session, [](ECTF_AdminSession& s, ServiceListAnswer& answer) {
        return s.GetServiceStates(OutArray(answer.names), OutArray(answer.states),
                                  OutArray(answer.types), OutArray(answer.disabled), answer.count);
    });
}

SPListAnswer QuerySPList(ECTF_AdminSession* session) {
    return Query<SPListAnswer>(session, [](ECTF_AdminSession& s, SPListAnswer& answer) {
        return s.GetSPList(OutArray(answer.names), OutArray(answer.available), answer.count);
    });
}

LevelAnswer QueryLevel(ECTF_AdminSession* session) {
    return Query<LevelAnswer>(session, [](ECTF_AdminSession& s, LevelAnswer& answer) {
        return s.GetServerLevel(answer.level);
    });
}
