#pragma once
// What a list's rows were last built from. Rows are made from a list query's arrays alone, so a
// refresh whose arrays hold the same bytes would build rows equal to those the document has: it
// keeps them instead of building and comparing 10,000 rows again.

#include <string>

#include "session/ctstring.h"

class ListSource final {
public:
    // Takes the arrays of a new answer as bytes; true when they equal those the current rows
    // were built from.
    bool Take(std::string answerBytes);
    // The current rows were not built whole: the next answer builds them again.
    void Forget();

private:
    std::string m_bytes;
    bool m_bKnown = false;
};

// The arrays of each list query as bytes: the count, then every element in order, texts with
// their NUL and numbers in their fixed width, so equal bytes mean equal arrays.
std::string ProfileListBytes(const SC_String* names, const SC_String* classes, int count);
std::string ServiceListBytes(const SC_String* names, const unsigned long* states,
                             const unsigned long* types, const long* disabled, int count);
std::string SPListBytes(const SC_String* names, const long* available, int count);
