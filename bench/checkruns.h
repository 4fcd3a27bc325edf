#pragma once
// The two ways of a check run over a server, for the benchmark of its memory. Apart from the
// benchmark's document because the checker's texts and the document's are of different types.

class ECTF_AdminSession;

struct CheckRunOutcome {
    int result = -1;
    int findings = 0;
};

// ProfileChecker::Check, which takes the application profiles part by part, or the run as it
// was before: each whole answer at once (CheckWholeAnswers).
CheckRunOutcome CheckInParts(ECTF_AdminSession& session);
CheckRunOutcome CheckWholeAnswer(ECTF_AdminSession& session);
