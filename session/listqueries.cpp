#include "session/listqueries.h"

namespace {

// Owns the arrays a list query hands out.
template <typename T>
std::unique_ptr<T[]> Adopt(T* array) {
    return std::unique_ptr<T[]>(array);
}

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
        SC_String* names = nullptr;
        SC_String* classes = nullptr;
        const long ok = s.GetProfileList("", names, classes, answer.count);
        answer.names = Adopt(names);
        answer.classes = Adopt(classes);
        return ok;
    });
}

ServiceListAnswer QueryServiceList(ECTF_AdminSession* session) {
    return Query<ServiceListAnswer>(session, [](ECTF_AdminSession& s, ServiceListAnswer& answer) {
        SC_String* names = nullptr;
        unsigned long* states = nullptr;
        unsigned long* types = nullptr;
        long* disabled = nullptr;
        const long ok = s.GetServiceStates(names, states, types, disabled, answer.count);
        answer.names = Adopt(names);
        answer.states = Adopt(states);
        answer.types = Adopt(types);
        answer.disabled = Adopt(disabled);
        return ok;
    });
}

SPListAnswer QuerySPList(ECTF_AdminSession* session) {
    return Query<SPListAnswer>(session, [](ECTF_AdminSession& s, SPListAnswer& answer) {
        SC_String* names = nullptr;
        long* available = nullptr;
        const long ok = s.GetSPList(names, available, answer.count);
        answer.names = Adopt(names);
        answer.available = Adopt(available);
        return ok;
    });
}

LevelAnswer QueryLevel(ECTF_AdminSession* session) {
    return Query<LevelAnswer>(session, [](ECTF_AdminSession& s, LevelAnswer& answer) {
        return s.GetServerLevel(answer.level);
    });
}
