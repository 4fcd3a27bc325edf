// CMyListCtrl's left-click rules on a shown control: the row is found by height alone, Ctrl
// toggles one row, Shift selects from the focused row (or row 0) without moving the focus, a
// click below the rows clears the selection and keeps the focus.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "views/mylistct.h"

namespace tlv::test {
namespace {

class ListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_list.InsertColumn(0, "Name", 100);
        m_list.InsertColumn(1, "Class", 100);
        std::vector<QStringList> rows;
        for (int r = 0; r < 6; ++r)
            rows.push_back({QString("Row%1").arg(r), "Application"});
        m_list.SetItems(std::move(rows));
        m_list.resize(600, 400);
        m_list.show();
    }

    // A point in the middle of the row's height, x pixels from the left.
    QPoint RowPoint(int row, int x = 50) const {
        QRect rect;
        EXPECT_TRUE(m_list.GetItemRect(row, rect)) << row;
        return QPoint(x, rect.center().y());
    }

    std::vector<int> Selected() const {
        std::vector<int> rows;
        for (int r = 0; r < m_list.GetItemCount(); ++r) {
            if (m_list.IsItemSelected(r))
                rows.push_back(r);
        }
        return rows;
    }

    CMyListCtrl m_list;
};

TEST_F(ListCtrlTest, PlainClickRightOfTheLastColumnSelectsAndFocusesThatRowAlone) {
    m_list.SetItemSelected(0, true);
    m_list.OnLButtonDown(Qt::NoModifier, RowPoint(2, 500));
    EXPECT_EQ(Selected(), std::vector<int>{2});
    EXPECT_EQ(m_list.GetFocusedItem(), 2);

    // Through the widget's own mouse handling as well.
    QMouseEvent press(QEvent::MouseButtonPress, RowPoint(4, 450),
                      m_list.viewport()->mapToGlobal(RowPoint(4, 450)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_list.viewport(), &press);
    EXPECT_EQ(Selected(), std::vector<int>{4});
    EXPECT_EQ(m_list.GetFocusedItem(), 4);
}

TEST_F(ListCtrlTest, CtrlClickTogglesOnlyTheClickedRow) {
    m_list.OnLButtonDown(Qt::NoModifier, RowPoint(1));
    m_list.OnLButtonDown(Qt::ControlModifier, RowPoint(2));
    m_list.OnLButtonDown(Qt::ControlModifier, RowPoint(3));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    m_list.OnLButtonDown(Qt::ControlModifier, RowPoint(2));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));
    EXPECT_EQ(m_list.GetFocusedItem(), 1);
    // Ctrl is tested before Shift.
    m_list.OnLButtonDown(Qt::ControlModifier | Qt::ShiftModifier, RowPoint(5));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3, 5}));
}

TEST_F(ListCtrlTest, ShiftClickSelectsFromTheFocusedRowOrRowZero) {
    m_list.OnLButtonDown(Qt::ShiftModifier, RowPoint(3));
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(m_list.GetFocusedItem(), -1);

    m_list.OnLButtonDown(Qt::NoModifier, RowPoint(4));
    m_list.OnLButtonDown(Qt::ShiftModifier, RowPoint(1));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(m_list.GetFocusedItem(), 4);
    m_list.OnLButtonDown(Qt::ShiftModifier, RowPoint(5));
    EXPECT_EQ(Selected(), (std::vector<int>{4, 5}));
}

TEST_F(ListCtrlTest, ClickBelowTheRowsClearsTheSelectionAndKeepsTheFocus) {
    m_list.OnLButtonDown(Qt::NoModifier, RowPoint(2));
    m_list.OnLButtonDown(Qt::ControlModifier, RowPoint(3));
    QRect last;
    ASSERT_TRUE(m_list.GetItemRect(5, last));
    m_list.OnLButtonDown(Qt::NoModifier, QPoint(50, last.bottom() + 20));
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(m_list.GetFocusedItem(), 2);

    // New rows come unselected, whatever was selected before.
    m_list.OnLButtonDown(Qt::ShiftModifier, RowPoint(4));
    ASSERT_EQ(Selected().size(), 3u);
    m_list.SetItems({{"A", "B"}, {"C", "D"}, {"E", "F"}, {"G", "H"}, {"I", "J"}});
    EXPECT_TRUE(Selected().empty());

    m_list.DeleteAllItems();
    m_list.OnLButtonDown(Qt::NoModifier, QPoint(50, 5));
    EXPECT_EQ(m_list.GetItemCount(), 0);
    EXPECT_EQ(m_list.GetSelectedCount(), 0);
}

}  // namespace
}  // namespace tlv::test
