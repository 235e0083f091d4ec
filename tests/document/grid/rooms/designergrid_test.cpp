// A grid as the table designer makes it (a dialog's list of edit, drop-down list,
// check-box and "..." columns), in a program linked with the grid room and the rooms
// below it alone: it is filled, edited by keys, toggled, pressed and has a row deleted,
// and tells its owner each time, with nothing of the datasheet, the strip's commands or
// the dialogs linked.
#include "document/grid/clistctrlcombo.h"
#include "document/grid/clistframe.h"
#include "platform/messagebox.h"
#include "testsupport.h"
#include "../ownerwindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <tuple>
#include <vector>

namespace {

enum Column { NAME, TYPE, PRIMARY, CONSTRAINT };

TEST(DesignerGrid, WorksWithTheGridRoomAlone)
{
    OwnerWindow owner;
    owner.resize(640, 300);
    CListFrame frame;
    frame.m_nMode = CListFrame::MODE_LIST;
    frame.m_bDialogGrid = 1;
    frame.m_bSortable = 0;
    frame.Create(&owner, QRect(0, 0, 600, 260));
    static constexpr GridColumnSpec kColumns[] = {
        {L"Name", GRID_EDIT, 80}, {L"Type", GRID_COMBO, 56}, {L"Primary", GRID_CHECK_BOX, 36}, {L"Constraint", GRID_BUTTON, 44}};
    frame.AddColumns(kColumns);
    CListCtrlCombo* grid = frame.GetGrid();
    ASSERT_TRUE(grid->AddComboItems(TYPE, {L"", L"INTEGER", L"TEXT"}));
    frame.InitGrid();
    for (int row = 0; row < 2; ++row)
        grid->InsertItem(row, L"");
    owner.show();
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));

    grid->BeginEdit(0, NAME, true);
    QTest::keyClicks(QApplication::focusWidget(), "id");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(frame.GetItemText(0, NAME), L"id");
    EXPECT_EQ(grid->m_nCurrentColumn, TYPE);
    grid->EndEdit(0);
    grid->BeginEdit(0, PRIMARY, true);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(frame.GetItemText(0, PRIMARY), L"1");

    owner.messages.clear();
    grid->EndEdit(0);
    const QPoint button = grid->GetCellRect(0, CONSTRAINT).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), button);
    EXPECT_EQ(owner.messages.back(), std::make_tuple(UM_CELL_BUTTON, static_cast<int>(CONSTRAINT), 0));

    testing_support::BoxRecorder boxes;
    boxes.QueueAnswer(platform::IDYES);
    grid->SelectRow(1);
    owner.messages.clear();
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(owner.messages, (std::vector<std::tuple<UINT, int, int>>{{UM_LIST_ROW_DELETED, 0, 1}}));
    EXPECT_EQ(grid->GetItemCount(), 1);
    EXPECT_EQ(frame.GetItemText(0, NAME), L"id");
}

} // namespace
