#pragma once
// The array-copy step of the three list queries: reads the result arrays from a query's
// result set and copies them into owned arrays of one common length.
//
// Arrays that should run in parallel but come back with different lengths are refused as a
// whole (CTerr_InvalidArgument): element i of a shorter array does not exist, and guessing
// would pair a name with another row's state.

#include <memory>

#include "s100/s100.h"
#include "session/ctstring.h"

struct ProfileArrays {
    std::unique_ptr<SC_String[]> names;
    std::unique_ptr<SC_String[]> classes;
    int count = 0;
};

struct ServiceArrays {
    std::unique_ptr<SC_String[]> names;
    std::unique_ptr<unsigned long[]> states;
    std::unique_ptr<unsigned long[]> types;
    std::unique_ptr<long[]> disabled;
    int count = 0;
};

struct SPArrays {
    std::unique_ptr<SC_String[]> names;
    std::unique_ptr<long[]> available;
    int count = 0;
};

// Outcome of one copy: CT_SUCCESS, CT_FAILURE for a failed read or unequal lengths, or
// CT_NOMEMORY (with CTerr_NoMemory) when an owned array could not be allocated.
struct ArrayCopyResult {
    CTstatus status = CT_SUCCESS;
    CTerror error = CTerr_NoError;
};

// Each copy reads its keys in the order of the query's result table. With missingIsEmpty (the
// server answered "nothing found") a key that is not in the set reads as an empty array. On
// failure the output holds no arrays and a count of 0; with a count of 0 every array is null.
ArrayCopyResult CopyProfileArrays(CTkvs results, bool missingIsEmpty, ProfileArrays& out);
ArrayCopyResult CopyServiceArrays(CTkvs results, bool missingIsEmpty, ServiceArrays& out);
ArrayCopyResult CopySPArrays(CTkvs results, bool missingIsEmpty, SPArrays& out);
