#pragma once
// KvSet: a KV set a test creates, hands to the code under test by its handle, and reads back
// value by value (each read expected to succeed); destroyed with the object.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "s100/s100.h"

namespace tlv::test {

class KvSet final {
public:
    KvSet() { EXPECT_EQ(CTkvs_Create(&m_set, nullptr), CT_SUCCESS); }
    ~KvSet() { CTkvs_Destroy(m_set, nullptr); }
    KvSet(const KvSet&) = delete;
    KvSet& operator=(const KvSet&) = delete;
    CTkvs Handle() const { return m_set; }

    std::vector<CTsymbol> Keys() const {
        uint32_t count = 0;
        CTkvs_GetCount(m_set, &count, nullptr);
        std::vector<CTsymbol> keys(count);
        for (uint32_t i = 0; i < count; ++i)
            CTkvs_GetKeyAt(m_set, i, &keys[i], nullptr);
        return keys;
    }
    std::string String(CTsymbol key) const {
        const char* value = nullptr;
        EXPECT_EQ(CTkvs_GetString(m_set, key, &value, nullptr), CT_SUCCESS);
        return value != nullptr ? value : "";
    }
    int32_t Int(CTsymbol key) const { return Read<int32_t>(CTkvs_GetInt, key, -99); }
    uint32_t UInt(CTsymbol key) const { return Read<uint32_t>(CTkvs_GetUInt, key, 99); }
    CTbool Bool(CTsymbol key) const { return Read<CTbool>(CTkvs_GetBool, key, 7); }
    CTsymbol Symbol(CTsymbol key) const { return Read<CTsymbol>(CTkvs_GetSymbol, key, 0); }

private:
    // unset is what a failed read leaves, a value no test writes.
    template <typename T, typename Get>
    T Read(Get get, CTsymbol key, T unset) const {
        T value = unset;
        EXPECT_EQ(get(m_set, key, &value, nullptr), CT_SUCCESS);
        return value;
    }

    CTkvs m_set = 0;
};

}  // namespace tlv::test
