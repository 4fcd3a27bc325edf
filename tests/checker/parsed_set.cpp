#include "tests/checker/parsed_set.h"

#include <gtest/gtest.h>

#include <utility>

#include "s100/kvs/handles.h"
#include "s100/kvs/notation.h"

ParsedSet::ParsedSet(std::string_view text) {
    s100::ParseError error;
    std::optional<s100::KVSet> set = s100::parseKVSet(text, error);
    if (!set) {
        ADD_FAILURE() << "test data does not parse: " << error.text();
        return;
    }
    CTkvs handle = CT_kvsEmpty;
    if (s100::makeHandle(std::move(*set), handle) != CTerr_NoError) {
        ADD_FAILURE() << "no handle for the test data";
        return;
    }
    m_kvs = handle;
}

ParsedSet::~ParsedSet() {
    if (m_kvs != CT_kvsEmpty) {
        CTkvs_Destroy(m_kvs, nullptr);
    }
}
