// Array, IsMemberOf and MemberIndex, ApplicationNames, GetConfigNames and the rule-text formatting.

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>

#include "checker/appcheck.h"
#include "checker/appnames.h"
#include "checker/array.h"
#include "checker/checkmessage.h"
#include "checker/ismemberof.h"
#include "checker/ruletext.h"
#include "resources/stringids.h"

namespace {

Array<std::string> ListOf(std::initializer_list<const char*> texts) {
    Array<std::string> list;
    for (const char* text : texts) {
        list.Append(text);
    }
    return list;
}

TEST(ArrayTest, GrowsByFiftySlotsAndKeepsItsBlockWhenEmptied) {
    Array<int> numbers;
    EXPECT_EQ(numbers.Capacity(), 50);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(numbers.Append(i), i);
    }
    EXPECT_EQ(numbers.Capacity(), 50);
    EXPECT_EQ(numbers.Append(50), 50);
    EXPECT_EQ(numbers.Capacity(), 100);
    for (int i = 51; i < 100; ++i) {
        numbers.Append(i);
    }
    EXPECT_EQ(numbers.Capacity(), 100);
    EXPECT_EQ(numbers.Append(100), 100);
    EXPECT_EQ(numbers.Capacity(), 150);
    EXPECT_EQ(numbers.Size(), 101);
    for (int i = 0; i < numbers.Size(); ++i) {
        ASSERT_EQ(*numbers[i], i) << "element moved to another slot while growing";
    }

    numbers.RemoveAll();
    EXPECT_EQ(numbers.Size(), 0);
    EXPECT_EQ(numbers.Capacity(), 150);
    EXPECT_EQ(numbers[0], nullptr);
}

TEST(ArrayTest, OutOfRangeAccessGivesNullAndLeavesTheOutputAlone) {
    Array<std::string> list = ListOf({"a", "b"});
    EXPECT_EQ(list[-1], nullptr);
    EXPECT_EQ(list[2], nullptr);
    ASSERT_NE(list[1], nullptr);
    EXPECT_EQ(*list[1], "b");

    std::string out = "untouched";
    EXPECT_EQ(list.GetElement(-1, out), 0);
    EXPECT_EQ(list.GetElement(2, out), 0);
    EXPECT_EQ(out, "untouched");
    EXPECT_EQ(list.GetElement(0, out), 1);
    EXPECT_EQ(out, "a");
}

TEST(ArrayTest, CopiesAreDeepAndReachTheCapacityAppendingWouldGive) {
    Array<std::string> original;
    for (int i = 0; i < 120; ++i) {
        original.Append("item" + std::to_string(i));
    }
    const Array<std::string> copy(original);
    EXPECT_EQ(copy.Size(), 120);
    EXPECT_EQ(copy.Capacity(), 150);
    original[0]->assign("changed");
    EXPECT_EQ(*copy[0], "item0");
    EXPECT_EQ(*copy[119], "item119");

    const Array<std::string> emptyCopy{Array<std::string>()};
    EXPECT_EQ(emptyCopy.Size(), 0);
    EXPECT_EQ(emptyCopy.Capacity(), 50);
}

TEST(ArrayTest, ReserveReachesTheCapacityOfAppendingOneByOne) {
    Array<int> numbers;
    EXPECT_TRUE(numbers.Reserve(10));
    EXPECT_EQ(numbers.Capacity(), 50);
    EXPECT_TRUE(numbers.Reserve(101));
    EXPECT_EQ(numbers.Capacity(), 150);
    EXPECT_TRUE(numbers.Reserve(60));
    EXPECT_EQ(numbers.Capacity(), 150);
    for (int i = 0; i < 151; ++i) {
        numbers.Append(i);
    }
    EXPECT_EQ(numbers.Capacity(), 200);
    EXPECT_EQ(*numbers[150], 150);
}

// Counts live copies; a copy constructor that throws on demand stands for a copy that fails.
struct Tracked {
    static inline int live = 0;
    static inline bool failNextCopy = false;
    alignas(64) int value;

    explicit Tracked(int v) : value(v) { ++live; }
    Tracked(const Tracked& other) : value(other.value) {
        if (failNextCopy) {
            failNextCopy = false;
            throw std::bad_alloc();
        }
        ++live;
    }
    ~Tracked() { --live; }
};

TEST(ArrayTest, DestroysEachElementOnceAndRefillsAfterAClearOrAFailedCopy) {
    {
        Array<Tracked> items;
        for (int round = 0; round < 3; ++round) {
            const int count = 100 + 1000 * round;  // each round needs more room than the last
            for (int i = 0; i < count; ++i) {
                ASSERT_EQ(items.Append(Tracked(i)), i);
            }
            EXPECT_EQ(Tracked::live, count);
            for (int i = 0; i < count; ++i) {
                ASSERT_EQ(items[i]->value, i);
                ASSERT_EQ(reinterpret_cast<std::uintptr_t>(items[i]) % alignof(Tracked), 0u);
            }
            items.RemoveAll();
            EXPECT_EQ(Tracked::live, 0);
        }

        EXPECT_TRUE(items.Reserve(3));
        items.Append(Tracked(1));
        Tracked::failNextCopy = true;
        const Tracked second(2);
        EXPECT_THROW(items.Append(second), std::bad_alloc);
        EXPECT_EQ(items.Size(), 1);
        items.Append(Tracked(3));
        EXPECT_EQ(items[1]->value, 3);

        const Array<Tracked> copy(items);
        EXPECT_EQ(copy[1]->value, 3);
        EXPECT_EQ(Tracked::live, 5);
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(IsMemberOfTest, MatchesWholeStringsExactly) {
    const Array<std::string> list = ListOf({"Sales", "R1", ""});
    EXPECT_EQ(IsMemberOf("Sales", list), 1);
    EXPECT_EQ(IsMemberOf("", list), 1);
    EXPECT_EQ(IsMemberOf("sales", list), 0);
    EXPECT_EQ(IsMemberOf("Sale", list), 0);
    EXPECT_EQ(IsMemberOf("R1 ", list), 0);
    EXPECT_EQ(IsMemberOf("x", Array<std::string>()), 0);

    const MemberIndex index(list);
    for (const char* probe : {"Sales", "", "sales", "Sale", "R1 "}) {
        EXPECT_EQ(index.Contains(probe), IsMemberOf(probe, list) == 1) << probe;
    }
}

TEST(IsMemberOfTest, AnIndexKeepsEveryMemberThroughGrowthAndAClear) {
    MemberIndex index;
    EXPECT_FALSE(index.Contains(""));
    index.Add("");
    EXPECT_TRUE(index.Contains(""));
    // Far past the first table, each name twice: duplicates change nothing.
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 1000; ++i) {
            index.Add("R" + std::to_string(i));
        }
    }
    for (int i = 0; i < 1000; ++i) {
        EXPECT_TRUE(index.Contains("R" + std::to_string(i))) << i;
        EXPECT_FALSE(index.Contains("R" + std::to_string(i) + " ")) << i;
    }
    EXPECT_FALSE(index.Contains("R1000"));
    EXPECT_FALSE(index.Contains("r1"));
    index.Clear();
    EXPECT_FALSE(index.Contains("R1"));
    EXPECT_FALSE(index.Contains(""));
    index.Add("R1");
    EXPECT_TRUE(index.Contains("R1"));
}

// Empty names stay names of their own; a profile without ASIs has none, and the ASI names of
// one profile never run into the next one's.
TEST(ApplicationNamesTest, KeepsEachProfilesAsisApartAndInOrder) {
    ApplicationNames names;
    names.Add("P1", ListOf({"A1", "", "A3"}));
    names.Add("", ListOf({}));
    names.Add("P3", ListOf({"B1", "B2"}));
    ASSERT_EQ(names.Count(), 3u);
    EXPECT_EQ(names.Profile(0), "P1");
    ASSERT_EQ(names.AsiCount(0), 3u);
    EXPECT_EQ(names.Asi(0, 0), "A1");
    EXPECT_EQ(names.Asi(0, 1), "");
    EXPECT_EQ(names.Asi(0, 2), "A3");
    EXPECT_EQ(names.Profile(1), "");
    EXPECT_EQ(names.AsiCount(1), 0u);
    EXPECT_EQ(names.Profile(2), "P3");
    ASSERT_EQ(names.AsiCount(2), 2u);
    EXPECT_EQ(names.Asi(2, 1), "B2");
    names.Clear();
    EXPECT_EQ(names.Count(), 0u);
    names.Add("Q", ListOf({"C"}));
    EXPECT_EQ(names.Profile(0), "Q");
    EXPECT_EQ(names.Asi(0, 0), "C");
}

TEST(GetConfigNamesTest, SplitsAtTheFirstSpaceAndTheFirstEqualsSign) {
    struct Case {
        const char* entry;
        const char* groupSet;
        const char* config;
    };
    const Case cases[] = {
        {"GS1 CFG1=R1&R2", "GS1", "CFG1"},
        {"GS1 CFG1", "GS1", ""},   // no equals sign: no configuration name
        {"GS1 =R1", "GS1", ""},    // empty configuration name
        {"CFG1=R1", "", "CFG1"},   // no space: from the start
        {" CFG1=R1", "", "CFG1"},  // space first: no group set name
        {"GS1 CFG 1=R1 R2", "GS1", "CFG 1"},
        {"GS=1 CFG=R1", "GS=1", ""},  // equals sign before the space
        {"=R1", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        std::string groupSet = "stale";
        std::string config = "stale";
        GetConfigNames(c.entry, groupSet, config);
        EXPECT_EQ(groupSet, c.groupSet) << c.entry;
        EXPECT_EQ(config, c.config) << c.entry;
    }
}

TEST(RuleTextTest, FillsPlaceholdersInOrderAndCutsAtTheBuffer) {
    EXPECT_EQ(FormatRuleText(IDS_CHK_GROUPSET_UNDEFINED, {"GS9", "A1"}),
              "The Group Set GS9, specifed in ASI A1, has not been defined");
    EXPECT_EQ(FormatRuleText(IDS_CHK_SCR_ASI_NOT_ROUTED, {"X"}),
              "The SCR ASI X is not mentioned in the Routing Rules   ");
    // A placeholder without an argument stays empty instead of reading past the list.
    EXPECT_EQ(FormatRuleText(IDS_CHK_GROUPSET_UNDEFINED, {"GS9"}),
              "The Group Set GS9, specifed in ASI , has not been defined");
    // An argument is never read as a format.
    EXPECT_EQ(FormatRuleText(IDS_CHK_GROUPSET_UNUSED, {"%s%%"}),
              "The Group Set %s%% is not used in any ASI");

    const std::string longName(5000, 'x');
    const std::string cut = FormatRuleText(IDS_CHK_GROUPSET_UNUSED, {longName});
    EXPECT_EQ(cut.size(), kRuleTextBufferSize - 1);
    EXPECT_EQ(cut, "The Group Set " + std::string(kRuleTextBufferSize - 1 - 14, 'x'));

    const CheckMessage finding = RuleFinding(CE_Info, "Sales", IDS_CHK_RESOURCE_UNUSED, {"R9"});
    EXPECT_EQ(finding.m_type, CE_Info);
    EXPECT_EQ(finding.m_profileName, "Sales");
    EXPECT_EQ(finding.m_text, "Sales: The Resource R9 is defined but not used");
}

TEST(CheckMessageTest, DefaultsAndLabels) {
    const CheckMessage empty;
    EXPECT_EQ(empty.m_type, CE_Fatal);
    EXPECT_EQ(empty.m_profileName, "");
    EXPECT_EQ(empty.m_text, "Empty Message");
    EXPECT_EQ(LabelIdOf(CE_Info), IDS_LABEL_INFO);
    EXPECT_EQ(LabelIdOf(CE_Warning), IDS_LABEL_WARNING);
    EXPECT_EQ(LabelIdOf(CE_Error), IDS_LABEL_ERROR);
    EXPECT_EQ(LabelIdOf(CE_Fatal), IDS_LABEL_FATAL);
    EXPECT_EQ(LabelIdOf(static_cast<CE_Type>(7)), IDS_LABEL_UNKNOWN);
    // The label ends in a tab and a colon; the text follows at once.
    EXPECT_EQ(LabelledText(CheckMessage(CE_Warning, "P", "P: x")), "Warning\t:P: x");
    EXPECT_EQ(LabelledText(CheckMessage(static_cast<CE_Type>(-1), "", "y")), "<Unknown>\t:y");
}

}  // namespace
