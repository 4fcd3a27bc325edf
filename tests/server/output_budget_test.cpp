// The limit on answers written but not yet taken, over all clients.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/output_budget.h"

namespace tlv::server {
namespace {

TEST(OutputBudget, TheClientsWaitingLongestAreDroppedFirstAndOnlyAsFarAsNeeded) {
    OutputBudget budget(100);
    std::vector<std::string> dropped;
    const int a = 0;
    const int b = 0;
    const int c = 0;
    const int d = 0;
    const auto dropper = [&](const char* name) { return [&, name] { dropped.push_back(name); }; };
    budget.charge(&a, 40, dropper("a"));
    budget.charge(&b, 40, dropper("b"));
    EXPECT_TRUE(dropped.empty());
    budget.charge(&c, 50, dropper("c"));  // 130 would be too much: a, the oldest, goes
    EXPECT_EQ(dropped, std::vector<std::string>{"a"});
    EXPECT_EQ(budget.total(), 90u);

    budget.discharge(&b);  // b's part was taken: b is no longer in the way
    budget.charge(&d, 60, dropper("d"));
    EXPECT_EQ(dropped, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(budget.total(), 60u);
    budget.discharge(&a);  // already gone: nothing changes
    EXPECT_EQ(budget.total(), 60u);
}

}  // namespace
}  // namespace tlv::server
