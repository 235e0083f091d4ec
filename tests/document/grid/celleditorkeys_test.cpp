// The keys of an open cell editor over a datasheet, each case read back from the file:
// an editor that a key moves holds its cell's whole text, so what is typed replaces it;
// the editing keys of every text field work in the typed columns and what is pasted is
// checked as what is typed; and the new-row line is stored by keys alone.
#include "document/grid/cinlineedit.h"
#include "gridtestsupport.h"
#include "platform/widgets/popupmenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <map>
#include <string>

namespace {

using testing_support::Utf8;

constexpr wchar_t kInvalidKey[] = L"Input key is invalid for this column";

class EditorKeys : public GridFixture {
protected:
    // Plays a script on the focused widget: text in braces names a key ({Enter}, {Tab},
    // {ShiftTab}, {Left}, {ShiftLeft}, {CtrlA}, ...), {ClickEnd} clicks into the open
    // edit box after its last character, {MenuPaste} picks Paste from the edit box's
    // context menu; everything else is typed.
    void Play(const std::string& script)
    {
        static const std::map<std::string, std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
            {"Enter", {Qt::Key_Return, Qt::NoModifier}},     {"Tab", {Qt::Key_Tab, Qt::NoModifier}},
            {"ShiftTab", {Qt::Key_Backtab, Qt::ShiftModifier}}, {"Left", {Qt::Key_Left, Qt::NoModifier}},
            {"Right", {Qt::Key_Right, Qt::NoModifier}},      {"Up", {Qt::Key_Up, Qt::NoModifier}},
            {"Down", {Qt::Key_Down, Qt::NoModifier}},        {"Home", {Qt::Key_Home, Qt::NoModifier}},
            {"End", {Qt::Key_End, Qt::NoModifier}},          {"Escape", {Qt::Key_Escape, Qt::NoModifier}},
            {"ShiftLeft", {Qt::Key_Left, Qt::ShiftModifier}}, {"ShiftRight", {Qt::Key_Right, Qt::ShiftModifier}},
            {"ShiftHome", {Qt::Key_Home, Qt::ShiftModifier}}, {"ShiftInsert", {Qt::Key_Insert, Qt::ShiftModifier}},
            {"CtrlA", {Qt::Key_A, Qt::ControlModifier}},     {"CtrlC", {Qt::Key_C, Qt::ControlModifier}},
            {"CtrlX", {Qt::Key_X, Qt::ControlModifier}},     {"CtrlV", {Qt::Key_V, Qt::ControlModifier}},
            {"CtrlZ", {Qt::Key_Z, Qt::ControlModifier}},
        };
        size_t at = 0;
        while (at < script.size()) {
            if (script[at] != '{') {
                const size_t next = std::min(script.find('{', at), script.size());
                Type(QString::fromStdString(script.substr(at, next - at)));
                at = next;
                continue;
            }
            const size_t close = script.find('}', at);
            ASSERT_NE(close, std::string::npos) << script;
            const std::string name = script.substr(at + 1, close - at - 1);
            at = close + 1;
            if (name == "ClickEnd") {
                auto* edit = Editor();
                ASSERT_NE(edit, nullptr) << script;
                QTest::mouseClick(edit, Qt::LeftButton, Qt::KeyboardModifiers(),
                                  QPoint(edit->width() - 3, edit->height() / 2));
            } else if (name == "MenuPaste") {
                ASSERT_NO_FATAL_FAILURE(PasteFromContextMenu());
            } else {
                const auto key = keys.find(name);
                ASSERT_NE(key, keys.end()) << name;
                Key(key->second.first, key->second.second);
            }
        }
    }

    // Right-click menu of the open edit box, its Paste entry picked. A menu that did not
    // go through the program's popup menus is closed at once, as if nothing was picked.
    void PasteFromContextMenu()
    {
        auto* edit = Editor();
        ASSERT_NE(edit, nullptr);
        const platform::PopupMenuHandler previous = platform::SetPopupMenuHandler([](QMenu& menu, const QPoint&) {
            for (QAction* action : menu.actions())
                if (action->objectName() == QLatin1String("edit-paste"))
                    return action;
            return static_cast<QAction*>(nullptr);
        });
        QTimer::singleShot(0, [] {
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
        const QPoint inside(4, edit->height() / 2);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, inside, edit->mapToGlobal(inside));
        QApplication::sendEvent(edit, &menu);
        QApplication::processEvents();
        platform::SetPopupMenuHandler(previous);
    }

    CInlineEdit* Editor() const { return qobject_cast<CInlineEdit*>(QApplication::focusWidget()); }
};

// An editor that Enter, Tab, Shift+Tab or an arrow moves holds its cell's whole text,
// so typing replaces it, and Left and Right go on to the neighbour cells; End or a click
// puts the caret into the text, and Shift with the arrows selects without ever leaving
// the cell. Each case starts from a double-click on its cell and ends with Escape.
TEST_F(EditorKeys, AKeyMovedEditorReplacesTheCellsTextWithWhatIsTyped)
{
    enum { ID, NAME, QTY };
    const struct {
        const char* name;
        int row;
        int column;
        const char* script;
        const char* rows; // id:name:qty of every row afterwards
    } cases[] = {
        {"Enter then typing", 0, NAME, "{Enter}5{Enter}", "1:n1:5 2:n2:20 3:n3:30"},
        {"Tab then typing", 1, ID, "{Tab}x{Tab}", "1:n1:10 2:x:20 3:n3:30"},
        {"Shift+Tab then typing", 2, QTY, "{ShiftTab}y{Enter}", "1:n1:10 2:n2:20 3:y:30"},
        {"Enter from the last column to the next row", 0, QTY, "{Enter}{Tab}z{Enter}", "1:n1:10 2:z:20 3:n3:30"},
        {"Right after Enter goes on", 0, ID, "{Enter}{Right}7{Enter}", "1:n1:7 2:n2:20 3:n3:30"},
        {"Left after Tab goes back", 1, NAME, "{Tab}{Left}w{Tab}", "1:n1:10 2:w:20 3:n3:30"},
        {"Down then typing", 0, QTY, "{Down}8{Up}", "1:n1:10 2:n2:8 3:n3:30"},
        {"Up then typing", 2, NAME, "{Up}v{Down}", "1:n1:10 2:v:20 3:n3:30"},
        {"End after Enter keeps the text", 0, ID, "{Enter}{End}!{Enter}", "1:n1!:10 2:n2:20 3:n3:30"},
        {"a click then typing", 2, NAME, "{ClickEnd}c{Enter}", "1:n1:10 2:n2:20 3:n3c:30"},
        {"a click after Tab then typing", 1, ID, "{Tab}{ClickEnd}c{Tab}", "1:n1:10 2:n2c:20 3:n3:30"},
        {"Shift with the arrows stays in the cell", 0, NAME,
         "{ShiftLeft}{End}{ShiftLeft}{ShiftRight}{ShiftRight}q{Enter}", "1:n1q:10 2:n2:20 3:n3:30"},
    };
    int file = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetDatabaseGlobals();
        DatabaseFixture::OpenDatabase(L"keys" + std::to_wstring(++file) + L".db", numbered::NumberedTable(3));
        OpenDatasheet(L"t");
        DoubleClick(c.row, c.column);
        ASSERT_NE(Editor(), nullptr);
        Play(c.script);
        Key(Qt::Key_Escape);
        CloseFrame();
        m_model.reset();
        EXPECT_EQ(Raw("SELECT group_concat(id || ':' || name || ':' || qty, ' ') FROM t"), c.rows);
        EXPECT_EQ(m_lines->Count(), 0u) << Utf8(m_lines->Count() ? m_lines->Last().text : L"");
        m_lines->Clear();
    }
}

// The editing keys of a text field work in number and date cells: Ctrl+A selects the
// text, so what is typed next replaces it; copy, cut, undo, Home, End and Shift with the
// arrows do their usual work; and pasted text (Ctrl+V, Shift+Insert, the context menu)
// goes in when every character of it could be typed there, else it is refused whole
// with the typed key's warning. Each case opens its cell by a double-click.
TEST_F(EditorKeys, EditingKeysWorkAndPastedTextIsCheckedAsTyped)
{
    enum { ID, BYTES, PRICE, STAMP, DAY };
    const struct {
        const char* name;
        int column;
        const char* clipboard;
        const char* script;
        const char* row; // bytes|price|stamp|day afterwards
        size_t warnings;
        const char* clipboardAfter; // nullptr: not looked at
    } cases[] = {
        {"Ctrl+A in a number", BYTES, "", "{CtrlA}5{Enter}", "5|2.5|2021-01-01 10:30:00|2021-01-01", 0, nullptr},
        {"Ctrl+A in a date and time", STAMP, "", "{CtrlA}2021-01-01 00:00:00{Enter}",
         "11170334|2.5|2021-01-01 00:00:00|2021-01-01", 0, nullptr},
        {"Ctrl+V of a number", BYTES, "512", "{CtrlA}{CtrlV}{Enter}", "512|2.5|2021-01-01 10:30:00|2021-01-01", 0,
         nullptr},
        {"Ctrl+V of no number", BYTES, "5x", "{CtrlA}{CtrlV}{Enter}", "11170334|2.5|2021-01-01 10:30:00|2021-01-01",
         1, nullptr},
        {"Ctrl+V of a date and time", STAMP, "2022-02-02 02:02:02", "{CtrlA}{CtrlV}{Enter}",
         "11170334|2.5|2022-02-02 02:02:02|2021-01-01", 0, nullptr},
        {"Ctrl+V of no date and time", STAMP, "yesterday", "{CtrlA}{CtrlV}{Enter}",
         "11170334|2.5|2021-01-01 10:30:00|2021-01-01", 1, nullptr},
        {"Shift+Insert of a real", PRICE, "-0.5", "{CtrlA}{ShiftInsert}{Enter}",
         "11170334|-0.5|2021-01-01 10:30:00|2021-01-01", 0, nullptr},
        {"context menu Paste of a date", DAY, "2020-12-31", "{CtrlA}{MenuPaste}{Enter}",
         "11170334|2.5|2021-01-01 10:30:00|2020-12-31", 0, nullptr},
        {"context menu Paste of no date", DAY, "12/31 noon", "{CtrlA}{MenuPaste}{Enter}",
         "11170334|2.5|2021-01-01 10:30:00|2021-01-01", 1, nullptr},
        {"Ctrl+X and Ctrl+Z, then Ctrl+C", DAY, "", "{CtrlA}{CtrlX}{CtrlZ}{End}{ShiftHome}{CtrlC}{End}{Enter}",
         "11170334|2.5|2021-01-01 10:30:00|2021-01-01", 0, "2021-01-01"},
        {"Home, End and Shift with the arrows", STAMP, "",
         "{ShiftLeft}{End}{ShiftLeft}{ShiftLeft}59{Home}{ShiftRight}{ShiftRight}{ShiftRight}{ShiftRight}1999{Enter}",
         "11170334|2.5|1999-01-01 10:30:59|2021-01-01", 0, nullptr},
    };
    int file = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetDatabaseGlobals();
        DatabaseFixture::OpenDatabase(L"edit" + std::to_wstring(++file) + L".db",
                                      "CREATE TABLE s(id INTEGER PRIMARY KEY, bytes INTEGER, price REAL, stamp DATETIME, "
                                      "day DATE);"
                                      "INSERT INTO s VALUES (1, 11170334, 2.5, '2021-01-01 10:30:00', '2021-01-01');");
        QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        OpenDatasheet(L"s");
        DoubleClick(0, c.column);
        ASSERT_NE(Editor(), nullptr);
        m_lines->Clear();
        Play(c.script);
        Key(Qt::Key_Escape);
        CloseFrame();
        m_model.reset();
        EXPECT_EQ(Raw("SELECT bytes || '|' || price || '|' || stamp || '|' || day FROM s"), c.row);
        EXPECT_EQ(m_lines->Count(), c.warnings);
        if (c.warnings) {
            EXPECT_EQ(m_lines->Last().text, kInvalidKey);
        }
        if (c.clipboardAfter) {
            EXPECT_EQ(QApplication::clipboard()->text().toStdString(), c.clipboardAfter);
        }
    }
}

// An empty table is filled from the keyboard alone: Enter at the new-row line's last
// cell stores the row and goes on in a fresh new-row line, Down stores it too, a row the
// table refuses keeps its texts in the line with the editor on it, and Escape leaves a
// row unstored.
TEST_F(EditorKeys, AnEmptyTableIsFilledByKeysAlone)
{
    enum { ID, NAME, QTY };
    OpenDatabase("CREATE TABLE e(id INTEGER PRIMARY KEY, name TEXT NOT NULL, qty INTEGER);");
    OpenDatasheet(L"e");
    ASSERT_EQ(Grid()->GetItemCount(), 1);
    Grid()->setFocus();
    Key(Qt::Key_Down);
    ASSERT_EQ(Grid()->GetCursorRow(), 0);
    QTest::keyClick(Grid(), Qt::Key_1);
    ASSERT_NE(Editor(), nullptr);
    Play("{Tab}a{Tab}10{Enter}");
    EXPECT_EQ(Raw("SELECT group_concat(id || ':' || name || ':' || qty, ' ') FROM e"), "1:a:10");
    EXPECT_EQ(Grid()->GetItemCount(), 2);
    EXPECT_EQ(std::make_pair(Grid()->m_nCurrentRow, Grid()->m_nCurrentColumn), std::make_pair(1, int(ID)));

    Play("2{Tab}b{Down}");
    EXPECT_EQ(Raw("SELECT group_concat(id || ':' || name || ':' || coalesce(qty, '-'), ' ') FROM e"),
              "1:a:10 2:b:-");
    EXPECT_EQ(std::make_pair(Grid()->m_nCurrentRow, Grid()->m_nCurrentColumn), std::make_pair(2, int(NAME)));

    // The name is required: the row is refused with the engine's box and stays typed.
    m_boxes.Clear();
    Play("{Tab}30{Enter}");
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(Raw("SELECT count(*) FROM e"), "2");
    EXPECT_EQ(std::make_pair(Grid()->m_nCurrentRow, Grid()->m_nCurrentColumn), std::make_pair(2, int(QTY)));
    EXPECT_EQ(m_frame->GetItemText(2, QTY), L"30");
    Play("{ShiftTab}c{Tab}{Enter}");
    EXPECT_EQ(Raw("SELECT group_concat(id || ':' || name || ':' || coalesce(qty, '-'), ' ') FROM e"),
              "1:a:10 2:b:- 3:c:30");
    EXPECT_EQ(Grid()->GetItemCount(), 4);

    // Down on an empty new-row line stores nothing and stays; Escape leaves a typed row.
    Play("{Down}");
    EXPECT_EQ(Grid()->m_nCurrentRow, 3);
    Play("9{Tab}d{Escape}");
    CloseFrame();
    m_model.reset();
    EXPECT_EQ(Raw("SELECT count(*) FROM e"), "3");
    EXPECT_EQ(m_boxes.Count(), 1u);
}

} // namespace
