#include "session/listqueries.h"

namespace {

// Owns the arrays a list query hands out.
template <typename T>
std::unique_ptr<T[]> Adopt(T* array) {
    return std::unique_ptr<T[]>(array);
}

template <typename Answer>
void TakeOutcome(Answer& answer, const ECTF_AdminSession* session, long ok) {
    static_cast<CallOutcome&>(answer) = OutcomeOf(session, ok);
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
    ProfileListAnswer answer;
    if (session == nullptr)
        return answer;
    SC_String* names = nullptr;
    SC_String* classes = nullptr;
    const long ok = session->GetProfileList("", names, classes, answer.count);
    answer.names = Adopt(names);
    answer.classes = Adopt(classes);
    TakeOutcome(answer, session, ok);
    return answer;
}

ServiceListAnswer QueryServiceList(ECTF_AdminSession* session) {
    ServiceListAnswer answer;
    if (session == nullptr)
        return answer;
    SC_String* names = nullptr;
    unsigned long* states = nullptr;
    unsigned long* types = nullptr;
    long* disabled = nullptr;
    const long ok = session->GetServiceStates(names, states, types, disabled, answer.count);
    answer.names = Adopt(names);
    answer.states = Adopt(states);
    answer.types = Adopt(types);
    answer.disabled = Adopt(disabled);
    TakeOutcome(answer, session, ok);
    return answer;
}

SPListAnswer QuerySPList(ECTF_AdminSession* session) {
    SPListAnswer answer;
    if (session == nullptr)
        return answer;
    SC_String* names = nullptr;
    long* available = nullptr;
    const long ok = session->GetSPList(names, available, answer.count);
    answer.names = Adopt(names);
    answer.available = Adopt(available);
    TakeOutcome(answer, session, ok);
    return answer;
}

LevelAnswer QueryLevel(ECTF_AdminSession* session) {
    LevelAnswer answer;
    if (session == nullptr)
        return answer;
    const long ok = session->GetServerLevel(answer.level);
    TakeOutcome(answer, session, ok);
    return answer;
}
