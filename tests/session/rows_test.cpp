#include "session/listrows.h"

#include <gtest/gtest.h>

#include "s100/symbols.h"
#include "session/listsource.h"

namespace {

TEST(ListSourceTest, OnlyAnAnswerWithTheSameArraysIsTheSame) {
    const SC_String names[] = {"ab", "c"};
    const SC_String shifted[] = {"a", "bc"};
    const SC_String classes[] = {"Application", "Application"};
    ListSource source;
    EXPECT_FALSE(source.Take(ProfileListBytes(names, classes, 2)));  // nothing built from yet
    EXPECT_TRUE(source.Take(ProfileListBytes(names, classes, 2)));
    // Texts keep their ends: "ab","c" is not "a","bc"; one row fewer is another answer.
    EXPECT_FALSE(source.Take(ProfileListBytes(shifted, classes, 2)));
    EXPECT_FALSE(source.Take(ProfileListBytes(shifted, classes, 1)));
    EXPECT_TRUE(source.Take(ProfileListBytes(shifted, classes, 1)));
    source.Forget();
    EXPECT_FALSE(source.Take(ProfileListBytes(shifted, classes, 1)));

    const unsigned long running[] = {SVC_StateRunning};
    const unsigned long idle[] = {SVC_StateIdle};
    const unsigned long types[] = {SVC_Optional};
    const long enabled[] = {0};
    EXPECT_FALSE(source.Take(ServiceListBytes(names, running, types, enabled, 1)));
    EXPECT_FALSE(source.Take(ServiceListBytes(names, idle, types, enabled, 1)));
    const long available[] = {1};
    const long unavailable[] = {0};
    EXPECT_FALSE(source.Take(SPListBytes(names, available, 1)));
    EXPECT_FALSE(source.Take(SPListBytes(names, unavailable, 1)));
}

TEST(ListRowsTest, ServiceRowsShowStateAndTypeTexts) {
    const DisplayTexts texts = DisplayTexts::Load();
    const SC_String names[] = {"A", "B", "C", "D", "E", "F", "G"};
    const unsigned long states[] = {SVC_StateIdle,    SVC_StateStarting, SVC_StateWaiting,
                                    SVC_StateRunning, SVC_StateStopping, SVC_StateFailed,
                                    0x01100999};
    const unsigned long types[] = {SVC_Optional,  SVC_Mandatory, SVC_Root,    0x12345678,
                                   SVC_Mandatory, SVC_Optional,  SVC_Optional};
    const long disabled[] = {0, 1, 0, 1, 0, 2, 0};
    const BuiltRows rows = BuildServiceRows(texts, names, states, types, disabled, 7);
    ASSERT_TRUE(rows.head);
    EXPECT_FALSE(rows.rowMissing);
    const char* expected[][3] = {
        {"A", "Idle", "Optional"},      {"B", "Starting", "Mandatory [Disabled]"},
        {"C", "Waiting", "Root"},       {"D", "Running", "Unknown [Disabled]"},
        {"E", "Stopping", "Mandatory"}, {"F", "Idle [Failed]", "Optional [Disabled]"},
        {"G", "Unknown", "Optional"}};
    const CViewLine* row = rows.head.get();
    for (const auto& cells : expected) {
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->NumberOfItems(), 3);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(row->GetItem(c), QString::fromLatin1(cells[c]));
        row = row->Next();
    }
    EXPECT_EQ(row, nullptr);
}

TEST(ListRowsTest, ProfileRowsSkipServiceDefinitionsAndKeepBytes) {
    const SC_String names[] = {"Sales", "Archiver", "Caf\xe9"};
    const SC_String classes[] = {"Application", "TLVS_Service", "tlvs_service"};
    const BuiltRows rows = BuildProfileRows(names, classes, 3, "TLVS_Service");
    ASSERT_TRUE(rows.head);
    ASSERT_EQ(rows.head->Count(), 2);
    EXPECT_EQ(rows.head->GetItem(0), "Sales");
    EXPECT_EQ(rows.head->GetItem(1), "Application");
    // Only the exact class is skipped; the 8-bit name comes back as the same bytes.
    const CViewLine* second = rows.head->Next();
    EXPECT_EQ(second->GetItem(1), "tlvs_service");
    EXPECT_EQ(second->GetItem(0).toLatin1(), QByteArray("Caf\xe9"));

    const BuiltRows onlyServices = BuildProfileRows(names + 1, classes + 1, 1, "TLVS_Service");
    EXPECT_FALSE(onlyServices.head);
}

TEST(ListRowsTest, ProviderRowsShowAvailability) {
    const DisplayTexts texts = DisplayTexts::Load();
    const SC_String names[] = {"Board1", "Board2", "Board3"};
    const long available[] = {1, 0, 2};
    const BuiltRows rows = BuildSPRows(texts, names, available, 3);
    ASSERT_EQ(rows.head->Count(), 3);
    EXPECT_EQ(rows.head->GetItem(1), "Available");
    EXPECT_EQ(rows.head->Next()->GetItem(1), "Not Available");
    EXPECT_EQ(rows.head->Next()->Next()->GetItem(1), "Available");
    EXPECT_EQ(rows.head->NumberOfItems(), 2);
}

}  // namespace
