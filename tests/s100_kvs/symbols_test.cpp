#include "s100/kvs/symtable.h"

#include <gtest/gtest.h>

#include "s100/s100.h"

namespace {

TEST(SymbolTable, NamesAndValuesMapBothWays) {
    EXPECT_EQ(s100::symbolByName("SVC_UnlinkLate"), SVC_UnlinkLate);
    EXPECT_EQ(SVC_UnlinkLate, 0x01100950u);
    EXPECT_STREQ(s100::nameOfSymbol(KEY_GroupSets), "KEY_GroupSets");
    EXPECT_FALSE(s100::symbolByName("svc_unlinklate")) << "names are case-sensitive";
    EXPECT_EQ(s100::nameOfSymbol(0x0110094A), nullptr);
    EXPECT_EQ(s100::symbolText(0x0110094A), "0x0110094A");
}

TEST(SymbolCalls, NameToSymbolAndBackForEverySessionHandle) {
    CTsymbol symbol = 0;
    CTerror error = 0;
    for (const CTsession session : {0u, 42u}) {
        ASSERT_EQ(CTsym_NameToSymbol(session, "LEVEL_CHANGE_EMERGENCY", &symbol, &error),
                  CT_SUCCESS);
        EXPECT_EQ(symbol, LEVEL_CHANGE_EMERGENCY);
    }
    EXPECT_EQ(CTsym_NameToSymbol(0, "KEY_Foo", &symbol, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_NotFound);
    ASSERT_EQ(CTsym_NameToSymbol(0, "0x0110094A", &symbol, nullptr), CT_SUCCESS);
    EXPECT_EQ(symbol, 0x0110094Au);

    char buffer[CT_MAX_SYMBOL_NAME];
    ASSERT_EQ(CTsym_SymbolToName(0, SVC_StateFailed, buffer, sizeof buffer, nullptr), CT_SUCCESS);
    EXPECT_STREQ(buffer, "SVC_StateFailed");
    ASSERT_EQ(CTsym_SymbolToName(7, 0xDEADBEEF, buffer, sizeof buffer, nullptr), CT_SUCCESS);
    EXPECT_STREQ(buffer, "0xDEADBEEF");
    char small[15];  // "SVC_StateFailed" needs 16 bytes with its NUL
    EXPECT_EQ(CTsym_SymbolToName(0, SVC_StateFailed, small, sizeof small, &error), CT_FAILURE);
    EXPECT_EQ(error, CTerr_BufferTooSmall);
    EXPECT_EQ(CTsym_UnloadTable(0, &error), CT_SUCCESS);
}

}  // namespace
