#pragma once
// The document's queries as its session worker makes them: each runs one session call and
// carries what it gave to the GUI thread, where the rows are built and compared. A missing
// session (never connected, or closed) fails as the document's own missing session does.

#include <memory>

#include "s100/s100.h"
#include "session/admsess.h"
#include "session/ctstring.h"

// The call's success flag and the session's error code after it.
struct CallOutcome {
    long ok = 0;
    CTerror error = CTerr_NotInitialized;
};

struct ProfileListAnswer : CallOutcome {
    std::unique_ptr<SC_String[]> names;
    std::unique_ptr<SC_String[]> classes;
    int count = 0;
};

struct ServiceListAnswer : CallOutcome {
    std::unique_ptr<SC_String[]> names;
    std::unique_ptr<unsigned long[]> states;
    std::unique_ptr<unsigned long[]> types;
    std::unique_ptr<long[]> disabled;
    int count = 0;
};

struct SPListAnswer : CallOutcome {
    std::unique_ptr<SC_String[]> names;
    std::unique_ptr<long[]> available;
    int count = 0;
};

struct LevelAnswer : CallOutcome {
    long level = 0;
};

// What a call that was given up on stands for: the connection is lost.
template <typename Answer>
Answer LostAnswer() {
    Answer answer;
    answer.error = CTerr_ConnectionLost;
    return answer;
}

// The outcome of the call the session made last.
CallOutcome OutcomeOf(const ECTF_AdminSession* session, long ok);

// All profiles of every class.
ProfileListAnswer QueryProfileList(ECTF_AdminSession* session);
ServiceListAnswer QueryServiceList(ECTF_AdminSession* session);
SPListAnswer QuerySPList(ECTF_AdminSession* session);
LevelAnswer QueryLevel(ECTF_AdminSession* session);
