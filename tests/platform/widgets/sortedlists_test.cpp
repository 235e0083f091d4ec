// The program's list controls: sorted insertion, "select string", typed text, the
// one-column report list and the clipboard's text.
#include "platform/widgets/clipboard.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/listbox.h"
#include "platform/widgets/reportlist.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include <string>
#include <vector>

namespace {

const std::vector<std::wstring> kUnsorted = {L"orders", L"Zebra", L"apple", L"Orders", L"beta", L"ápple"};

std::vector<std::wstring> Entries(const platform::ComboBox& box)
{
    std::vector<std::wstring> out;
    for (int i = 0; i < box.count(); ++i)
        out.push_back(box.itemText(i).toStdWString());
    return out;
}

std::vector<std::wstring> Entries(const platform::ListBox& list)
{
    std::vector<std::wstring> out;
    for (int i = 0; i < list.count(); ++i)
        out.push_back(list.GetText(i));
    return out;
}

// Sorted boxes ignore letter case and put an entry equal to others after them; unsorted
// boxes keep the order of adding.
TEST(SortedLists, SortedInsertionIgnoresCase)
{
    const std::vector<std::wstring> sorted = {L"apple", L"beta", L"orders", L"Orders", L"Zebra", L"ápple"};
    platform::ComboBox sortedBox(true, false);
    platform::ComboBox plainBox(false, false);
    platform::ListBox sortedList(true);
    for (const std::wstring& text : kUnsorted) {
        sortedBox.AddString(text);
        plainBox.AddString(text);
        sortedList.AddString(text);
    }
    EXPECT_EQ(Entries(sortedBox), sorted);
    EXPECT_EQ(Entries(sortedList), sorted);
    EXPECT_EQ(Entries(plainBox), kUnsorted);
    EXPECT_EQ(sortedBox.AddString(L"Beta"), 2);
}

// A drop-down list that has been filled shows no entry until one is chosen.
TEST(SortedLists, FillingSelectsNothing)
{
    platform::ComboBox box(true, false);
    box.AddString(L"b");
    box.AddString(L"a");
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.GetWindowText(), L"");
    box.setCurrentIndex(1);
    box.AddString(L"0");
    EXPECT_EQ(box.GetWindowText(), L"b");

    platform::ListBox list(true);
    list.AddString(L"x");
    EXPECT_EQ(list.GetCurSel(), -1);
}

// The search begins after startAfter, matches a beginning ignoring case, wraps around,
// and leaves the selection alone when nothing matches.
TEST(SortedLists, SelectStringFindsTheNextPrefixWrappingAround)
{
    const std::vector<std::wstring> pageSizes = {L"512", L"1024", L"2048", L"4096", L"8192", L"16384", L"10240"};
    struct Case {
        int startAfter;
        const wchar_t* text;
        int expected;
    };
    const Case cases[] = {
        {-1, L"1024", 1}, {1, L"1024", 6}, {6, L"1024", 1}, {2, L"1", 5},
        {0, L"utf", -1},  {-1, L"", 0},    {3, L"", 4},     {99, L"5", 0},
    };
    platform::ComboBox box(false, false);
    platform::ListBox list(false);
    for (const std::wstring& text : pageSizes) {
        box.AddString(text);
        list.AddString(text);
    }
    for (const Case& c : cases) {
        box.setCurrentIndex(3);
        list.setCurrentRow(3);
        EXPECT_EQ(box.SelectString(c.startAfter, c.text), c.expected) << c.startAfter << " " << c.text;
        EXPECT_EQ(box.currentIndex(), c.expected < 0 ? 3 : c.expected);
        EXPECT_EQ(list.SelectString(c.startAfter, c.text), c.expected);
        EXPECT_EQ(list.GetCurSel(), c.expected < 0 ? 3 : c.expected);
    }

    platform::ComboBox encodings(false, false);
    for (const wchar_t* text : {L"utf-8", L"UTF-16", L"UTF-16le", L"UTF-16be"})
        encodings.AddString(text);
    EXPECT_EQ(encodings.SelectString(0, L"UTF-8"), 0);
    EXPECT_EQ(encodings.GetWindowText(), L"utf-8");
}

// An editable box reports what was typed and never turns it into an entry.
TEST(SortedLists, EditableBoxKeepsTypedText)
{
    platform::ComboBox box(true, true);
    box.AddString(L"alpha");
    box.show();
    box.lineEdit()->clear();
    QTest::keyClicks(box.lineEdit(), "typed text");
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(box.GetWindowText(), L"typed text");
    EXPECT_EQ(box.count(), 1);
}

TEST(ReportList, OneColumnWithTipsAndCheckBoxes)
{
    platform::ReportList list;
    list.SetColumn("Field Name");
    list.AddRow(L"plain");
    list.SetCheckBoxes(true);
    list.AddRow(L"a long name");
    ASSERT_EQ(list.columnCount(), 1);
    EXPECT_EQ(list.headerItem()->text(0), "Field Name");
    EXPECT_TRUE(list.header()->stretchLastSection());
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.topLevelItem(1)->toolTip(0), "a long name");
    EXPECT_FALSE(list.topLevelItem(0)->data(0, Qt::CheckStateRole).isValid()); // no box shown
    EXPECT_FALSE(list.IsChecked(1));
    list.SetChecked(1, true);
    EXPECT_TRUE(list.IsChecked(1));
    EXPECT_EQ(list.FirstSelectedRow(), -1);
    list.topLevelItem(1)->setSelected(true);
    EXPECT_EQ(list.FirstSelectedRow(), 1);
    EXPECT_EQ(list.RowText(1), L"a long name");
    EXPECT_EQ(list.RowText(5), L"");
}

TEST(Clipboard, TextRoundTrip)
{
    platform::SetClipboardText(L"SELECT 'ä' FROM t;\n-- 🙂");
    EXPECT_EQ(platform::ClipboardText(), L"SELECT 'ä' FROM t;\n-- 🙂");
    platform::SetClipboardText(L"");
    EXPECT_EQ(platform::ClipboardText(), L"");
}

} // namespace
