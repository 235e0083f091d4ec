// The keys of an open cell editor over a datasheet, each case read back from the file:
// an editor that a key moves holds its cell's whole text, so what is typed replaces it.
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
        m_frame.reset();
        m_model.reset();
        EXPECT_EQ(Raw("SELECT group_concat(id || ':' || name || ':' || qty, ' ') FROM t"), c.rows);
        EXPECT_EQ(m_lines->Count(), 0u) << Utf8(m_lines->Count() ? m_lines->Last().text : L"");
        m_lines->Clear();
    }
}

} // namespace
