#include "s100/kvs/ownedset.h"

#include <utility>

#include "s100/kvs/handles.h"

namespace s100 {

OwnedSet::OwnedSet() {
    CTkvs made = 0;
    CTerror error = CTerr_NoError;
    CTkvs_Create(&made, &error);
    Keep(made, error);
}

OwnedSet::OwnedSet(KVSet contents) {
    CTkvs made = 0;
    const CTerror error = makeHandle(std::move(contents), made);
    Keep(made, error);
}

OwnedSet::~OwnedSet() {
    if (IsValid()) {
        CTkvs_Destroy(m_set, nullptr);
    }
}

// A failed make leaves the handle at CT_kvsEmpty, not at the 0 the library writes back.
void OwnedSet::Keep(CTkvs made, CTerror error) {
    m_error = error;
    if (IsValid()) {
        m_set = made;
    }
}

}  // namespace s100
