#include "framework/waitcursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingDisplay final : public WaitCursorDisplay {
public:
    RecordingDisplay(std::vector<std::string>& log, std::string name)
        : m_log(log), m_name(std::move(name)) {}
    void Show() override { m_log.push_back(m_name + " show"); }
    void Hide() override { m_log.push_back(m_name + " hide"); }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

TEST(WaitCursor, NestedCursorsShowOnceAndCountEveryOne) {
    std::vector<std::string> log;
    RecordingDisplay display(log, "d");
    WaitCursorDisplayGuard guard(display);
    const long before = CWaitCursor::TimesShown();
    {
        CWaitCursor outer;
        EXPECT_EQ(CWaitCursor::Depth(), 1);
        {
            CWaitCursor inner;
            EXPECT_EQ(CWaitCursor::Depth(), 2);
        }
        EXPECT_EQ(CWaitCursor::Depth(), 1);
        EXPECT_EQ(log, (std::vector<std::string>{"d show"}));
    }
    EXPECT_EQ(CWaitCursor::Depth(), 0);
    EXPECT_EQ(CWaitCursor::TimesShown() - before, 2);
    EXPECT_EQ(log, (std::vector<std::string>{"d show", "d hide"}));
}

TEST(WaitCursor, WithoutDisplayOnlyCounts) {
    const long before = CWaitCursor::TimesShown();
    { CWaitCursor cursor; }
    EXPECT_EQ(CWaitCursor::TimesShown() - before, 1);
    EXPECT_EQ(CWaitCursor::Depth(), 0);
}

TEST(WaitCursor, CursorLivingAcrossADisplaySwitchMovesAlong) {
    std::vector<std::string> log;
    RecordingDisplay program(log, "program"), test(log, "test");
    WaitCursorDisplayGuard programGuard(program);
    {
        CWaitCursor cursor;
        { WaitCursorDisplayGuard testGuard(test); }
    }
    EXPECT_EQ(log, (std::vector<std::string>{"program show", "program hide", "test show",
                                             "test hide", "program show", "program hide"}));
}

}  // namespace
