#pragma once
// Builds the rows of the three lists, in server order, from the arrays a list query returned.

#include <memory>

#include "session/ctstring.h"
#include "session/displaytexts.h"
#include "session/textconv.h"
#include "session/viewline.h"

struct BuiltRows {
    std::unique_ptr<CViewLine> head;  // null for a list without rows
    bool rowMissing = false;          // a row could not be allocated and is left out
    bool unchanged = false;           // none built: the list's rows stand for this answer
};

// Profiles of serviceClass are skipped: they hold service definitions, not profiles.
BuiltRows BuildProfileRows(const SC_String* names, const SC_String* classes, int count,
                           const CString& serviceClass);
BuiltRows BuildServiceRows(const DisplayTexts& texts, const SC_String* names,
                           const unsigned long* states, const unsigned long* types,
                           const long* disabled, int count);
BuiltRows BuildSPRows(const DisplayTexts& texts, const SC_String* names, const long* available,
                      int count);
