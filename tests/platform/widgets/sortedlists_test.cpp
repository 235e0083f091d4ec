// The program's list controls: sorted insertion, "select string", typed text, the
// one-column report list and the clipboard's text.
#include "platform/widgets/clipboard.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/enterkey.h"
#include "platform/widgets/listbox.h"
#include "platform/widgets/reportlist.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
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

// A box that has been filled shows no entry until one is chosen: a drop-down list and an
// editable box alike (whose edit field stays empty, or keeps a value shown before), and a
// chosen entry stays chosen while more come.
TEST(SortedLists, FillingSelectsNothing)
{
    for (const bool editable : {false, true}) {
        platform::ComboBox box(true, editable);
        box.AddString(L"b");
        box.AddString(L"a");
        EXPECT_EQ(box.currentIndex(), -1) << editable;
        EXPECT_EQ(box.GetWindowText(), L"") << editable;
        box.setCurrentIndex(1);
        box.AddString(L"0");
        EXPECT_EQ(box.GetWindowText(), L"b") << editable;
    }
    platform::ComboBox shown(false, true);
    shown.ShowValue(L"my own");
    shown.AddStrings({L"x", L"y"});
    EXPECT_EQ(shown.currentIndex(), -1);
    EXPECT_EQ(shown.GetWindowText(), L"my own");

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

// A stored value shown again reads back unchanged: an entry equal to it ignoring case is
// selected (not one that merely begins with it), anything else stays in the edit field.
TEST(SortedLists, ShowValueSelectsTheEqualEntryOrKeepsTheText)
{
    const std::vector<std::wstring> entries = {L"", L"ABORT", L"FAIL", L"ROLLBACK", L"t2", L"t"};
    struct Case {
        bool editable;
        const wchar_t* stored;
        int selected;
        const wchar_t* text;
    };
    const Case cases[] = {
        {true, L"abort", 1, L"ABORT"},  {true, L"ab", -1, L"ab"},    {true, L"my own", -1, L"my own"},
        {true, L"t", 4, L"t"},          {false, L"t", 4, L"t"},      {false, L"T2", 5, L"t2"},
        {false, L"gone", -1, L""},      {true, L" ", -1, L" "},
    };
    for (const Case& c : cases) {
        platform::ComboBox box(true, c.editable);
        box.AddStrings(entries);
        ASSERT_EQ(box.count(), 6);
        EXPECT_EQ(box.itemText(4), "t"); // sorted: t before t2
        box.ShowValue(c.stored);
        EXPECT_EQ(box.currentIndex(), c.selected) << box.itemText(box.currentIndex()).toStdString();
        EXPECT_EQ(box.GetWindowText(), c.text);
    }
    // An empty value leaves the box as it was.
    platform::ComboBox box(true, true);
    box.AddStrings(entries);
    box.setCurrentIndex(1);
    box.ShowValue(L"");
    EXPECT_EQ(box.GetWindowText(), L"ABORT");
}

// Only the user's choice is signalled: the program's selections are not.
TEST(SortedLists, SelectionChangedOnlyForTheUsersChoice)
{
    for (const bool editable : {false, true}) {
        platform::ComboBox box(true, editable);
        box.AddStrings({L"", L"DEFERRABLE", L"NOT DEFERRABLE"});
        QSignalSpy spy(&box, &platform::ComboBox::SelectionChanged);
        box.show();
        box.setCurrentIndex(1);
        box.SelectString(-1, L"NOT");
        box.ShowValue(L"deferrable");
        EXPECT_EQ(spy.count(), 0);
        QTest::keyClick(editable ? static_cast<QWidget*>(box.lineEdit()) : &box, Qt::Key_Down);
        ASSERT_EQ(spy.count(), 1) << editable;
        EXPECT_EQ(spy.at(0).at(0).toInt(), 2);
    }
}

// Enter in an edit field of a dialog whose OK does nothing presses no button, the
// focused one included; the mouse and Space still do.
TEST(EnterKey, EnterPressesNoButton)
{
    QDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    auto* apply = new QPushButton("Apply", &dialog);
    auto* cancel = new QPushButton("Cancel", &dialog);
    apply->setDefault(true);
    platform::KeepEnterFromButtons(dialog);
    QSignalSpy applied(apply, &QPushButton::clicked);
    QSignalSpy cancelled(cancel, &QPushButton::clicked);
    dialog.show();
    for (QWidget* focus : {static_cast<QWidget*>(edit), static_cast<QWidget*>(apply), static_cast<QWidget*>(cancel)}) {
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        QTest::keyClick(focus, Qt::Key_Enter, Qt::KeypadModifier);
    }
    EXPECT_EQ(applied.count(), 0);
    EXPECT_EQ(cancelled.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(apply, Qt::Key_Space);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(applied.count(), 1);
    EXPECT_EQ(cancelled.count(), 1);
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
