#include "document/grid/cinlineedit.h"

#include "platform/clock.h"
#include "platform/widgets/modaldialog.h"
#include "recordinggrid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

#include <memory>

namespace {

using testing_support::CaptionRecorder;
using testing_support::Utf8;

constexpr int kTextColumn = 0;
constexpr int kIntegerColumn = 1;
constexpr int kFloatColumn = 2;
constexpr int kDateColumn = 3;
constexpr int kTimeColumn = 4;
constexpr int kDateTimeColumn = 5;

const char kInvalidKey[] = "Input key is invalid for this column";

// A shown, active window holding a grid with one edit box and, outside the grid, a second
// focusable widget, with a fixed clock; a second window stands for "another window" that
// a click can activate.
class InlineEdit : public testing::Test {
protected:
    void SetUp() override
    {
        previousClock = platform::SetClock([] { return platform::LocalDateTime{2024, 3, 5, 7, 8, 9}; });
        grid.valueTypes = {{kTextColumn, -1},
                           {kIntegerColumn, FIELDTYPE_INTEGER},
                           {kFloatColumn, FIELDTYPE_FLOAT},
                           {kDateColumn, FIELDTYPE_DATE},
                           {kTimeColumn, FIELDTYPE_TIME},
                           {kDateTimeColumn, FIELDTYPE_DATETIME}};
        window = std::make_unique<QWidget>();
        grid.gridWidget = new QWidget(window.get());
        grid.gridWidget->setFocusPolicy(Qt::StrongFocus);
        grid.gridWidget->setGeometry(0, 0, 220, 40);
        edit = new CInlineEdit(&grid, grid.gridWidget);
        edit->setGeometry(10, 10, 200, 24);
        neighbour = new QLineEdit(window.get());
        neighbour->setGeometry(10, 50, 200, 24);
        window->resize(220, 80);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void TearDown() override { platform::SetClock(previousClock); }

    // BeginEdit of (row, column) with the cell's text; the editor has the focus.
    void Begin(int row, int column, const std::wstring& text)
    {
        edit->show();
        edit->setFocus();
        edit->Bind(row, column, text);
        ASSERT_TRUE(edit->hasFocus());
    }

    // Activates another window, as a click there would.
    void ClickIntoAnotherWindow()
    {
        other = std::make_unique<QWidget>();
        other->show();
        other->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(other.get()));
    }

    std::string Text() const { return edit->text().toStdString(); }

    RecordingGrid grid;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<QWidget> other;
    CInlineEdit* edit = nullptr;
    QLineEdit* neighbour = nullptr;
    platform::Clock previousClock;
};

// Catches a wrong character set for a value type: a refused digit, an accepted letter, a
// refused blank between a date and its time, a control character let through into a typed
// column.
TEST(InlineEditKeys, FilterTable)
{
    const struct {
        int valueType;
        const char32_t* allowed;
        const char32_t* refused;
    } cases[] = {
        {FIELDTYPE_INTEGER, U"0123456789-\b", U"+.eE /:*a \x16\x03\x1b"},
        {FIELDTYPE_FLOAT, U"0123456789-.\b", U"+,eE /:*"},
        {FIELDTYPE_DATE, U"0123456789-/\b", U".: *T"},
        {FIELDTYPE_TIME, U"0123456789:\b", U"-/. *"},
        {FIELDTYPE_DATETIME, U"0123456789-/: \b", U".T*"},
        {FIELDTYPE_TEXT, U"aZ *'\"]😀\x16", U""},
        {FIELDTYPE_BLOB, U"a *", U""},
        {-1, U"a *\t", U""},
    };
    for (const auto& c : cases) {
        for (const char32_t* p = c.allowed; *p; ++p)
            EXPECT_TRUE(CInlineEdit::IsKeyAllowed(*p, c.valueType)) << "type " << c.valueType << " char " << int(*p);
        for (const char32_t* p = c.refused; *p; ++p)
            EXPECT_FALSE(CInlineEdit::IsKeyAllowed(*p, c.valueType)) << "type " << c.valueType << " char " << int(*p);
    }
}

// Catches wrong validity rules, above all a time or date part that wraps into range when
// read wider than 32 bits ("4294967296:00:00" read as 0 hours).
TEST(InlineEditValues, ValidationTable)
{
    const struct {
        const wchar_t* text;
        int valueType;
        bool valid;
    } cases[] = {
        {L"", FIELDTYPE_INTEGER, true},
        {L"", FIELDTYPE_DATE, true},
        {L"", FIELDTYPE_DATETIME, true},
        {L"-12", FIELDTYPE_INTEGER, true},
        {L"-5-", FIELDTYPE_INTEGER, false},
        {L"1.5", FIELDTYPE_INTEGER, false},
        {L"-1.5", FIELDTYPE_FLOAT, true},
        {L"1.2.3", FIELDTYPE_FLOAT, false},
        {L"2024-02-29", FIELDTYPE_DATE, true},
        {L"2024/02/29", FIELDTYPE_DATE, true},
        {L"2023-02-29", FIELDTYPE_DATE, false},
        {L"2024/02/30", FIELDTYPE_DATE, false},
        {L"2024--02-28", FIELDTYPE_DATE, true}, // empty runs between delimiters are dropped
        {L"2024-02", FIELDTYPE_DATE, false},
        {L"2024-02-28-1", FIELDTYPE_DATE, false},
        {L"2024-4294967297-01", FIELDTYPE_DATE, false},
        {L"2024-01-4294967297", FIELDTYPE_DATE, false},
        {L"24:60:60", FIELDTYPE_TIME, true},
        {L"00:00:00", FIELDTYPE_TIME, true},
        {L"25:00:00", FIELDTYPE_TIME, false},
        {L"12:61:00", FIELDTYPE_TIME, false},
        {L"12:00", FIELDTYPE_TIME, false},
        {L"12 30 15", FIELDTYPE_TIME, true},
        {L"-1:00:00", FIELDTYPE_TIME, false},
        {L"4294967296:00:00", FIELDTYPE_TIME, false},
        {L"00:4294967296:00", FIELDTYPE_TIME, false},
        {L"00:00:4294967300", FIELDTYPE_TIME, false},
        {L"2147483647:00:00", FIELDTYPE_TIME, false},
        {L"2024-03-05 07:08:09", FIELDTYPE_DATETIME, true},
        {L"2024-03-05", FIELDTYPE_DATETIME, false},
        {L"2024-03-05 25:00:00", FIELDTYPE_DATETIME, false},
        {L"2024-02-30 07:08:09", FIELDTYPE_DATETIME, false},
        {L"2024-03-05 07:08:09 extra", FIELDTYPE_DATETIME, true},
        {L"anything at all", FIELDTYPE_TEXT, true},
        {L"x", -1, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValidateCellValue(c.text, c.valueType), c.valid) << Utf8(c.text) << " type " << c.valueType;
}

// Catches a refused key that still reaches the text or warns more than once per key, and
// an accepted key that leaves the editor clean.
TEST_F(InlineEdit, TypedKeysAreFilteredWithOneWarningEach)
{
    CaptionRecorder lines;
    Begin(0, kIntegerColumn, L"");
    QTest::keyClicks(edit, "1a2");
    EXPECT_EQ(Text(), "12");
    ASSERT_EQ(lines.Count(), 1u);
    EXPECT_EQ(Utf8(lines.Last().text), kInvalidKey);
    EXPECT_EQ(lines.Last().type, platform::CAPTION_LINE_WARNING);
    EXPECT_FALSE(edit->IsClean());
    EXPECT_TRUE(edit->hasFocus());

    // A keypad digit is a digit in the editor, not a paging key.
    QTest::keyClick(edit, Qt::Key_9, Qt::KeypadModifier);
    EXPECT_EQ(Text(), "129");

    // Ctrl+V pastes what could be typed: "x7" is refused whole in a typed column, with
    // one warning, and pasted in a text column.
    QApplication::clipboard()->setText(QStringLiteral("x7"));
    lines.Clear();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), "129");
    EXPECT_EQ(lines.Count(), 1u);
    Begin(0, kTextColumn, L"");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), "x7");

    // A date-time column takes the blank between the date and the time, so a whole value
    // can be typed and passes its check.
    lines.Clear();
    Begin(0, kDateTimeColumn, L"");
    QTest::keyClicks(edit, "2024-01-01 12:00:00");
    EXPECT_EQ(Text(), "2024-01-01 12:00:00");
    EXPECT_EQ(lines.Count(), 0u);
    EXPECT_TRUE(ValidateCellValue(L"2024-01-01 12:00:00", FIELDTYPE_DATETIME));
}

// Catches '*' typed literally into a date column, a wrong date or time format, a warning
// for '*', and a '*' value that a click elsewhere would drop as unchanged.
TEST_F(InlineEdit, StarPutsTheCurrentDateOrTime)
{
    const struct {
        int column;
        const char* text;
    } cases[] = {
        {kDateColumn, "2024-03-05"},
        {kTimeColumn, "07:08:09"},
        {kDateTimeColumn, "2024-03-05 07:08:09"},
        {kTextColumn, "ab*"},
    };
    CaptionRecorder lines;
    for (const auto& c : cases) {
        Begin(0, c.column, L"ab");
        edit->setCursorPosition(2);
        QTest::keyClick(edit, '*');
        EXPECT_EQ(Text(), c.text);
        EXPECT_FALSE(edit->IsClean()) << c.text;
    }
    EXPECT_EQ(lines.Count(), 0u);

    Begin(3, kDateColumn, L"");
    QTest::keyClick(edit, '*');
    ClickIntoAnotherWindow();
    ASSERT_FALSE(grid.calls.empty());
    EXPECT_EQ(grid.calls.back(), "set 3 3 2024-03-05 changed");
}

// Catches a cell moved while the caret is inside the text, or kept while it is at an end.
TEST_F(InlineEdit, ArrowsMoveTheCellOnlyAtTheTextEnds)
{
    const struct {
        int caret;
        Qt::Key key;
        const char* call; // "" when only the caret moves
        int caretAfter;
    } cases[] = {
        {0, Qt::Key_Left, "left", 0},  {1, Qt::Key_Left, "", 0},    {3, Qt::Key_Right, "right", 3},
        {2, Qt::Key_Right, "", 3},     {0, Qt::Key_Right, "", 1},   {1, Qt::Key_Up, "up", 1},
        {1, Qt::Key_Down, "down", 1},
    };
    for (const auto& c : cases) {
        Begin(2, kTextColumn, L"abc");
        edit->setCursorPosition(c.caret);
        grid.calls.clear();
        QTest::keyClick(edit, c.key);
        const std::string call = grid.calls.empty() ? "" : grid.calls.front();
        EXPECT_EQ(call, c.call) << "caret " << c.caret << " key " << c.key;
        EXPECT_EQ(grid.calls.size(), call.empty() ? 0u : 1u);
        EXPECT_EQ(edit->cursorPosition(), c.caretAfter) << "caret " << c.caret << " key " << c.key;
    }
    // Binding puts the caret before the first character.
    Begin(2, kTextColumn, L"abc");
    EXPECT_EQ(edit->cursorPosition(), 0);
}

// Catches Tab taken by the focus chain, and Tab, Enter or Shift+Tab that only move the
// caret when the grid turned them into pending moves.
TEST_F(InlineEdit, TabEnterAndShiftTabMoveWhereverTheCaretIs)
{
    GridKeyFilter filter(grid);
    edit->installEventFilter(&filter);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* call;
    } cases[] = {
        {Qt::Key_Tab, Qt::NoModifier, "right"},
        {Qt::Key_Return, Qt::NoModifier, "right"},
        {Qt::Key_Enter, Qt::KeypadModifier, "right"},
        {Qt::Key_Backtab, Qt::ShiftModifier, "left"},
    };
    for (const auto& c : cases) {
        Begin(1, kTextColumn, L"abcd");
        edit->setCursorPosition(2);
        grid.calls.clear();
        QTest::keyClick(edit, c.key, c.modifiers);
        EXPECT_EQ(grid.calls, std::vector<std::string>{c.call}) << c.key;
        EXPECT_FALSE(grid.m_bTabRightPending);
        EXPECT_FALSE(grid.m_bShiftTabLeftPending);
        EXPECT_EQ(edit->cursorPosition(), 2);
        EXPECT_TRUE(edit->hasFocus()) << "the focus chain took key " << c.key;
    }
    edit->removeEventFilter(&filter);

    // Without the grid's filter Tab is Right and Shift+Tab Left, still never a focus move.
    Begin(1, kTextColumn, L"abcd");
    edit->setCursorPosition(2);
    grid.calls.clear();
    QTest::keyClick(edit, Qt::Key_Tab);
    QTest::keyClick(edit, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(grid.calls.empty());
    EXPECT_TRUE(edit->hasFocus());
    edit->setCursorPosition(4);
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(grid.calls, std::vector<std::string>{"right"});
    EXPECT_TRUE(edit->hasFocus());
}

// Catches an invalid value stored, a wrong warning text, and rowChanged not following the
// next row.
TEST_F(InlineEdit, CommitChecksTheValue)
{
    CaptionRecorder lines;
    Begin(4, kIntegerColumn, L"-5-");
    edit->SetNextRow(5);
    edit->CommitText(FIELDTYPE_INTEGER);
    EXPECT_TRUE(grid.calls.empty());
    ASSERT_EQ(lines.Count(), 1u);
    EXPECT_EQ(Utf8(lines.Last().text), "Value <-5-> is invalid for <Integer> column type. Value was not saved");
    EXPECT_EQ(lines.Last().type, platform::CAPTION_LINE_WARNING);
    EXPECT_TRUE(edit->IsClean());
    EXPECT_TRUE(edit->hasFocus());

    const struct {
        int column;
        int valueType;
        const wchar_t* text;
        const char* word;
    } invalid[] = {
        {kFloatColumn, FIELDTYPE_FLOAT, L"1..2", "Float"},
        {kDateColumn, FIELDTYPE_DATE, L"2023-02-29", "Date"},
        {kTimeColumn, FIELDTYPE_TIME, L"4294967296:00:00", "Time"},
        {kDateTimeColumn, FIELDTYPE_DATETIME, L"2024-03-05", "DateTime"},
    };
    for (const auto& c : invalid) {
        lines.Clear();
        Begin(4, c.column, c.text);
        edit->CommitText(c.valueType);
        EXPECT_EQ(Utf8(lines.Last().text),
                  "Value <" + Utf8(c.text) + "> is invalid for <" + c.word + "> column type. Value was not saved");
    }
    EXPECT_TRUE(grid.calls.empty());

    Begin(4, kIntegerColumn, L"-12");
    edit->SetNextRow(4);
    edit->CommitText(FIELDTYPE_INTEGER);
    edit->SetNextRow(-1);
    edit->CommitText(FIELDTYPE_INTEGER);
    EXPECT_EQ(grid.calls, (std::vector<std::string>{"set 4 1 -12 same", "set 4 1 -12 changed"}));
}

// Catches a typed value lost when the user clicks into another window, one stored twice,
// a validation on that path, and a store from a clean or unbound editor.
TEST_F(InlineEdit, FocusLossStoresTypedTextUnchecked)
{
    Begin(7, kIntegerColumn, L"1");
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, "-5-");
    ClickIntoAnotherWindow();
    EXPECT_EQ(grid.calls, std::vector<std::string>{"set 7 1 1-5- changed"});
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(edit->IsClean());

    // A change other than typing (here Delete) counts too; a context menu's focus loss does not.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    grid.calls.clear();
    Begin(7, kTextColumn, L"abc");
    QTest::keyClick(edit, Qt::Key_Delete);
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(edit, &popup);
    EXPECT_TRUE(grid.calls.empty());
    neighbour->setFocus();
    EXPECT_EQ(grid.calls, std::vector<std::string>{"set 7 0 bc changed"});

    // A click on the grid itself leaves the edit to the grid's end of it, which checks.
    grid.calls.clear();
    Begin(7, kIntegerColumn, L"");
    QTest::keyClicks(edit, "1-");
    grid.gridWidget->setFocus();
    EXPECT_TRUE(grid.calls.empty());
    EXPECT_TRUE(edit->isVisible());
    EXPECT_FALSE(edit->IsClean());
    edit->SetNextRow(8);
    edit->CommitText(FIELDTYPE_INTEGER);
    EXPECT_EQ(grid.calls, std::vector<std::string>{"set 7 1 1- changed"});

    // Clean: nothing to store.
    grid.calls.clear();
    Begin(8, kTextColumn, L"abc");
    neighbour->setFocus();
    EXPECT_TRUE(grid.calls.empty());
    EXPECT_TRUE(edit->isVisible());
}

// Catches the focus loss caused by a box that the store itself shows storing the same
// cell again: a nested box and a repeated write.
TEST_F(InlineEdit, BoxShownWhileCommittingStoresOnce)
{
    int boxes = 0;
    platform::DialogHandler previous = platform::SetDialogHandler([&](QDialog& dialog) {
        ++boxes;
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        EXPECT_FALSE(edit->hasFocus()) << "the box did not take the focus";
        return int(QDialog::Accepted);
    });
    grid.onSetCell = [] {
        QDialog box;
        platform::RunModal(box);
    };

    Begin(2, kIntegerColumn, L"");
    QTest::keyClicks(edit, "42");
    edit->SetNextRow(3);
    edit->CommitText(FIELDTYPE_INTEGER);
    platform::SetDialogHandler(previous);
    EXPECT_EQ(grid.calls, std::vector<std::string>{"set 2 1 42 changed"});
    EXPECT_EQ(boxes, 1);
}

// Catches a filter or a store on the grid's hidden editor, which only carries the arrow
// keys and Tab of cells without an editor of their own.
TEST_F(InlineEdit, HiddenEditorFiltersNothingAndStoresNothing)
{
    CaptionRecorder lines;
    edit->setReadOnly(true);
    edit->setFocus();
    ASSERT_EQ(edit->GetRow(), -1);
    QTest::keyClicks(edit, "a*");
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(lines.Count(), 0u);
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClick(edit, Qt::Key_Down);
    neighbour->setFocus();
    EXPECT_EQ(grid.calls, (std::vector<std::string>{"left", "right", "down"}));
}

} // namespace
