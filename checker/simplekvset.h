#pragma once
// SimpleKVSet: one S.100 KV set, created empty with the object and destroyed with it.

#include "s100/s100.h"

class SimpleKVSet final {
public:
    SimpleKVSet();
    ~SimpleKVSet();
    SimpleKVSet(const SimpleKVSet&) = delete;
    SimpleKVSet& operator=(const SimpleKVSet&) = delete;

    // False when the library could not create the set; the handle is then CT_kvsEmpty, which
    // every call treats as an empty set that cannot be changed.
    bool IsValid() const { return m_owned; }
    operator CTkvs() const { return m_kvs; }  // NOLINT: stands in for the handle in calls

private:
    CTkvs m_kvs = CT_kvsEmpty;
    bool m_owned = false;
};
