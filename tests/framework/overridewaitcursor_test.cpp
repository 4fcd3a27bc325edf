#include "framework/widgets/overridewaitcursor.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>

namespace {

TEST(OverrideWaitCursor, ShowsTheWaitCursorWhileAnyWaitCursorLives) {
    OverrideWaitCursor display;
    WaitCursorDisplayGuard guard(display);
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        CWaitCursor outer;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            CWaitCursor inner;
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(OverrideWaitCursor, HideWithoutShowRestoresNothing) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    OverrideWaitCursor display;
    display.Hide();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace
