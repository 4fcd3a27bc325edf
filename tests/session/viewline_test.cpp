#include "session/viewline.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A chain of rows with the given first cells.
std::unique_ptr<CViewLine> Chain(std::initializer_list<const char*> names) {
    std::unique_ptr<CViewLine> head;
    CViewLine* tail = nullptr;
    for (const char* name : names) {
        auto* row = new CViewLine;
        row->SetItem(0, QString::fromLatin1(name));
        if (tail == nullptr)
            head.reset(row);
        else
            tail->Link(row);
        tail = row;
    }
    return head;
}

TEST(CViewLineTest, CellsBeyondTheTenthAreIgnored) {
    CViewLine line;
    EXPECT_EQ(line.NumberOfItems(), 0);
    line.SetItem(10, "lost");
    EXPECT_EQ(line.NumberOfItems(), 0);
    EXPECT_EQ(line.GetItem(10), "ERROR");
    EXPECT_EQ(line.GetItem(42), "ERROR");

    line.SetItem(2, "third");
    EXPECT_EQ(line.NumberOfItems(), 3);
    EXPECT_EQ(line.GetItem(0), "");
    line.SetItem(0, "first");
    EXPECT_EQ(line.NumberOfItems(), 3);  // the count never shrinks
    line.SetItem(9, "last");
    EXPECT_EQ(line.NumberOfItems(), 10);
    EXPECT_EQ(line.GetItem(9), "last");
}

TEST(CViewLineTest, CopyIsDeepAndEqualityWalksTheWholeChain) {
    const auto original = Chain({"a", "b", "c"});
    original->Next()->SetItem(1, "class");
    const CViewLine copy(*original);
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy == *original, 1);

    original->Next()->Next()->SetItem(0, "C");  // case counts
    EXPECT_EQ(copy == *original, 0);
    EXPECT_EQ(copy.Next()->Next()->GetItem(0), "c");

    // One chain ending earlier is not equal, in either direction.
    const auto shorter = Chain({"a", "b"});
    shorter->Next()->SetItem(1, "class");
    EXPECT_EQ(*shorter == copy, 0);
    EXPECT_EQ(copy == *shorter, 0);

    // Same texts in use but a different cell count.
    CViewLine one;
    one.SetItem(0, "x");
    CViewLine wider;
    wider.SetItem(0, "x");
    wider.SetItem(1, "");
    EXPECT_EQ(one == wider, 0);
}

TEST(CViewLineTest, LongChainsCopyCompareAndDieWithoutRecursion) {
    constexpr int kRows = 200000;
    auto head = std::make_unique<CViewLine>();
    CViewLine* tail = head.get();
    for (int i = 1; i < kRows; ++i) {
        tail->Link(new CViewLine);
        tail = tail->Next();
        tail->SetItem(0, QString::number(i));
    }
    const CViewLine copy(*head);
    EXPECT_EQ(copy.Count(), kRows);
    EXPECT_EQ(copy == *head, 1);
    head.reset();  // would overflow the stack if destruction recursed
    EXPECT_EQ(copy.Count(), kRows);
}

}  // namespace
