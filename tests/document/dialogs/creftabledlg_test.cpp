#include "document/dialogs/creftabledlg.h"

#include "document/dialogs/camfclistctrl.h"
#include "scopedhandlers.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

const std::vector<std::wstring> kTables = {L"orders", L"Invoices", L"notes"};

QPushButton* Button(QDialog& dialog, QDialogButtonBox::StandardButton which)
{
    return dialog.findChild<QDialogButtonBox*>()->button(which);
}

// Runs the chooser over kTables; `work` marks a row (or not) and presses a button.
std::wstring Choose(int expectedResult, const std::function<void(CRefTableDlg&)>& work)
{
    CRefTableDlg dialog(&kTables, nullptr);
    ScopedDialogHandler handler([&](QDialog& shown) {
        work(static_cast<CRefTableDlg&>(shown));
        return shown.result();
    });
    EXPECT_EQ(dialog.DoModal(), expectedResult);
    return dialog.m_strTable;
}

TEST(RefTableDlg, ListsTheTablesInTheirOrder)
{
    CRefTableDlg dialog(&kTables, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Related Tables");
    CAMFCListCtrl* list = dialog.GetList();
    ASSERT_EQ(list->columnCount(), 1);
    EXPECT_EQ(list->headerItem()->text(0), "Referent Tables");
    EXPECT_EQ(list->header()->sectionSize(0), 250);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list->topLevelItem(i)->text(0).toStdWString(), kTables[static_cast<size_t>(i)]);
}

// OK takes the marked row; OK without a mark and Cancel leave the choice empty.
TEST(RefTableDlg, OkTakesTheMarkedRowOnly)
{
    EXPECT_EQ(Choose(QDialog::Accepted,
                     [](CRefTableDlg& dialog) {
                         CAMFCListCtrl* list = dialog.GetList();
                         const QRect row = list->visualItemRect(list->topLevelItem(1));
                         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
                         QTest::mouseClick(Button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
                     }),
              L"Invoices");
    EXPECT_EQ(Choose(QDialog::Accepted,
                     [](CRefTableDlg& dialog) {
                         // Focus alone gives the list a current row, but marks none.
                         dialog.GetList()->setFocus();
                         QTest::mouseClick(Button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
                     }),
              L"");
    EXPECT_EQ(Choose(QDialog::Rejected,
                     [](CRefTableDlg& dialog) {
                         dialog.GetList()->topLevelItem(2)->setSelected(true);
                         QTest::mouseClick(Button(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
                     }),
              L"");
}

// Striped rows: even rows dark red on pink, odd rows black on light blue, as painted;
// with the switch off the list's own colours.
TEST(AMFCListCtrl, StripesAlternateByRow)
{
    CAMFCListCtrl list;
    list.AddColumn("a", 80);
    list.addTopLevelItems({new QTreeWidgetItem(QStringList{""}), new QTreeWidgetItem(QStringList{""})});
    list.setFocusPolicy(Qt::NoFocus); // no current-row highlight over row 0
    list.resize(200, 120);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    const QImage image = list.viewport()->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    auto pixel = [&](int row) {
        const QRect rect = list.visualItemRect(list.topLevelItem(row));
        return image.pixelColor(QPointF(rect.left() + 40, rect.center().y()).toPoint() * ratio);
    };
    EXPECT_EQ(pixel(0), QColor(253, 241, 249));
    EXPECT_EQ(pixel(1), QColor(196, 238, 254));
    EXPECT_EQ(list.OnGetCellTextColor(0), QColor(128, 0, 0));
    EXPECT_EQ(list.OnGetCellTextColor(1), QColor(Qt::black));

    list.m_bColor = false;
    EXPECT_EQ(list.OnGetCellBkColor(0), list.palette().color(QPalette::Base));
    EXPECT_EQ(list.OnGetCellTextColor(1), list.palette().color(QPalette::Text));
}

} // namespace
