#pragma once
// A KV set written in the text notation, as a handle owned for one test.

#include <string_view>

#include "s100/s100.h"

class ParsedSet final {
public:
    // A parse error fails the test and leaves the library's empty set.
    explicit ParsedSet(std::string_view text);
    ~ParsedSet();
    ParsedSet(const ParsedSet&) = delete;
    ParsedSet& operator=(const ParsedSet&) = delete;

    operator CTkvs() const { return m_kvs; }  // NOLINT: stands in for the handle

private:
    CTkvs m_kvs = CT_kvsEmpty;
};
