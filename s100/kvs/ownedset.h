#pragma once
// A KV set handle made for one piece of work and destroyed with it. IsValid tells whether it was
// made and Error why not. A set that could not be made is CT_kvsEmpty, which every call reads as
// an empty set that cannot be changed.

#include "s100/kvs/value.h"

namespace s100 {

class OwnedSet final {
public:
    // A new empty set (CTkvs_Create).
    OwnedSet();
    // A new set holding contents (makeHandle).
    explicit OwnedSet(KVSet contents);
    ~OwnedSet();
    OwnedSet(const OwnedSet&) = delete;
    OwnedSet& operator=(const OwnedSet&) = delete;

    bool IsValid() const { return m_error == CTerr_NoError; }
    // CTerr_NoMemory when the handle table was full.
    CTerror Error() const { return m_error; }
    CTkvs Handle() const { return m_set; }

private:
    void Keep(CTkvs made, CTerror error);

    CTkvs m_set = CT_kvsEmpty;
    CTerror m_error = CTerr_NoError;
};

}  // namespace s100
