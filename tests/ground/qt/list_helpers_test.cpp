// The small helpers that watch a list's rows: the tool tip that follows the
// row under the mouse, and the guard that asks before a press leaves the row
// being edited.
#include "ground/qt/list_row_hints.h"
#include "ground/qt/row_leave_guard.h"

#include <QApplication>
#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

using namespace kelvo;

namespace {

QListWidget* three_rows(QWidget& parent)
{
    auto* list = new QListWidget(&parent);
    list->addItems({"first", "second", "third"});
    parent.resize(200, 200);
    list->resize(200, 200);
    return list;
}

QPoint centre_of(QListWidget* list, int row) { return list->visualItemRect(list->item(row)).center(); }

void move_to(QListWidget* list, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
}

}  // namespace

TEST(ListRowHints, TheTipFollowsTheRowUnderTheMouse)
{
    QWidget parent;
    QListWidget* list = three_rows(parent);
    std::vector<int> asked;
    auto* hints = new ListRowHints(list, [&asked](int row) {
        asked.push_back(row);
        return QString("row %1").arg(row);
    });
    EXPECT_TRUE(list->hasMouseTracking());
    EXPECT_TRUE(list->viewport()->hasMouseTracking());

    move_to(list, centre_of(list, 1));
    EXPECT_EQ(list->toolTip(), "row 1");
    // Moving within the row asks nothing more.
    move_to(list, centre_of(list, 1) + QPoint(1, 0));
    EXPECT_EQ(asked, std::vector<int>{1});
    move_to(list, centre_of(list, 2));
    EXPECT_EQ(list->toolTip(), "row 2");

    // Leaving clears the tip without asking (the page may be going down).
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(list->viewport(), &leave);
    EXPECT_TRUE(list->toolTip().isEmpty());

    hints->show_row(2);
    hints->show_row(2);
    EXPECT_EQ(asked, (std::vector<int>{1, 2, 2}));
    // Once the rows have changed, the same row is asked again.
    hints->forget();
    hints->show_row(2);
    EXPECT_EQ(asked, (std::vector<int>{1, 2, 2, 2}));
}

TEST(RowLeaveGuard, ARefusedPressKeepsTheSelection)
{
    QWidget parent;
    QListWidget* list = three_rows(parent);
    parent.show();
    list->setCurrentRow(0);
    bool allow = false;
    std::vector<int> asked;
    new RowLeaveGuard(list, [&](int row) {
        asked.push_back(row);
        return allow;
    });

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre_of(list, 2));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(asked, std::vector<int>{2});

    allow = true;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre_of(list, 1));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(asked, (std::vector<int>{2, 1}));

    // A press beside the rows is not asked about.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 190));
    EXPECT_EQ(asked, (std::vector<int>{2, 1}));
}
