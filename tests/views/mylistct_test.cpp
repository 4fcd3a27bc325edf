// CMyListCtrl's left-click rules on a shown control: the row is found by height alone, Ctrl
// toggles one row, Shift selects from the focused row (or row 0) without moving the focus, a
// click below the rows clears the selection and keeps the focus.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

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

// Cells hold the server's bytes (as Latin-1); the control shows them readably and hands the
// bytes back unchanged to the commands.
TEST_F(ListCtrlTest, CellsShowTheirBytesReadablyAndKeepThem) {
    m_list.SetItems({{QString::fromLatin1("Caf\xE9"), QString::fromLatin1("Men\xC3\xBC")}});
    const QModelIndex first = m_list.model()->index(0, 0);
    EXPECT_EQ(first.data().toString(), "Caf\\xE9");
    EXPECT_EQ(first.siblingAtColumn(1).data().toString(), QString::fromUtf8("Men\u00FC"));
    EXPECT_EQ(m_list.GetItemText(0, 0).toLatin1(), QByteArray("Caf\xE9"));
}

// Real press, move and release events, as a hand on a mouse sends them: the press alone decides,
// whatever the pointer does before the release.
class ListCtrlMouseTest : public ListCtrlTest {
protected:
    void Click(int row, Qt::KeyboardModifiers keys, QPoint jitter = QPoint(2, 2)) {
        Drag(RowPoint(row), RowPoint(row) + jitter, keys);
    }

    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers keys) {
        QWidget* viewport = m_list.viewport();
        QTest::mousePress(viewport, Qt::LeftButton, keys, from);
        // Several small steps, the way a pointer moves; each carries the held button.
        for (int step = 1; step <= 4; ++step) {
            const QPoint at = from + (to - from) * step / 4;
            QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, keys);
            QApplication::sendEvent(viewport, &move);
        }
        QTest::mouseRelease(viewport, Qt::LeftButton, keys, to);
    }
};

TEST_F(ListCtrlMouseTest, AJitteryClickSelectsTheClickedRowAloneWhateverCameBefore) {
    // An earlier click on row 0 is where a drag selection would start from.
    Click(0, Qt::NoModifier, QPoint(0, 0));
    Click(2, Qt::NoModifier);
    EXPECT_EQ(Selected(), std::vector<int>{2});
    EXPECT_EQ(m_list.GetFocusedItem(), 2);
    Click(4, Qt::NoModifier, QPoint(-2, -2));
    EXPECT_EQ(Selected(), std::vector<int>{4});
    EXPECT_EQ(m_list.GetFocusedItem(), 4);
}

TEST_F(ListCtrlMouseTest, CtrlAndShiftClicksThatMoveKeepTheirRules) {
    Click(1, Qt::NoModifier);
    Click(3, Qt::ControlModifier);
    Click(5, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3, 5}));
    Click(3, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 5}));
    EXPECT_EQ(m_list.GetFocusedItem(), 1);

    Click(4, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(m_list.GetFocusedItem(), 1);
    Click(0, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
}

TEST_F(ListCtrlMouseTest, ADragAcrossRowsSelectsOnlyThePressedRow) {
    Drag(RowPoint(1), RowPoint(4), Qt::NoModifier);
    EXPECT_EQ(Selected(), std::vector<int>{1});
    EXPECT_EQ(m_list.GetFocusedItem(), 1);
    Drag(RowPoint(5), RowPoint(0), Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 5}));
    QRect last;
    ASSERT_TRUE(m_list.GetItemRect(5, last));
    Drag(QPoint(50, last.bottom() + 20), RowPoint(2), Qt::NoModifier);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(m_list.GetFocusedItem(), 1);
}

TEST_F(ListCtrlMouseTest, ShiftArrowAfterAClickExtendsFromTheClickedRow) {
    m_list.setFocus();
    QTest::keyClick(&m_list, Qt::Key_Down);
    QTest::keyClick(&m_list, Qt::Key_Down);
    Click(4, Qt::NoModifier);
    QTest::keyClick(&m_list, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{4, 5}));
    EXPECT_EQ(m_list.GetFocusedItem(), 5);
}

}  // namespace
}  // namespace tlv::test
