#include "checker/simplekvset.h"

SimpleKVSet::SimpleKVSet() {
    CTkvs created = CT_kvsEmpty;
    CTerror error = CTerr_NoError;
    if (CTkvs_Create(&created, &error) == CT_SUCCESS) {
        m_kvs = created;
        m_owned = true;
    }
}

SimpleKVSet::~SimpleKVSet() {
    if (m_owned) {
        CTerror error = CTerr_NoError;
        CTkvs_Destroy(m_kvs, &error);
    }
}
