#pragma once
// A KV set made for one piece of work and destroyed with it; IsValid tells whether it was made.
// A set that could not be made is the library's CT_kvsEmpty, which every call reads as an empty
// set that cannot be changed.

#include "s100/s100.h"

class OwnedSet final {
public:
    OwnedSet() { m_bCreated = CTkvs_Create(&m_set, nullptr) == CT_SUCCESS; }
    ~OwnedSet() {
        if (m_bCreated)
            CTkvs_Destroy(m_set, nullptr);
    }
    OwnedSet(const OwnedSet&) = delete;
    OwnedSet& operator=(const OwnedSet&) = delete;

    bool IsValid() const { return m_bCreated; }
    CTkvs Handle() const { return m_set; }

private:
    CTkvs m_set = CT_kvsEmpty;
    bool m_bCreated = false;
};
