#pragma once
// The edit box that the grid places over a cell of an edit column, and the grid's hidden
// editor. It filters typed and pasted characters by the column's value type (the editing
// keys of a text field, such as Ctrl+A, Ctrl+C and Home, type no characters), puts the
// current date or time on '*', checks the value on commit and moves to the neighbour cell
// when the caret leaves its text. When the focus leaves the grid while a typed value is
// pending, it stores the value itself, unchecked, and hides.
#include "data/cadbsqlfieldinfo.h"

#include <QLineEdit>

#include <string>

class CellEditorOwner;

// Whether the text is a value of the type; an empty text is valid for every type.
bool ValidateCellValue(const std::wstring& text, int valueType);

class CInlineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CInlineEdit(CellEditorOwner* owner, QWidget* parent = nullptr);

    // BeginEdit: shows the cell's text with the caret before its first character and binds
    // the editor to the cell, clean.
    void Bind(int row, int column, const std::wstring& text);
    // EndEdit: the row that editing moves to, -1 when it leaves the rows.
    void SetNextRow(int row) { m_nNextRow = row; }
    // Checks the text and stores it through the grid; an invalid value is refused with a
    // warning in the caption strip. The editor is clean afterwards.
    void CommitText(int valueType);

    int GetRow() const { return m_nRow; }
    int GetColumn() const { return m_nColumn; }
    int GetNextRow() const { return m_nNextRow; }
    bool IsClean() const { return m_bClean; }
    void SetClean(bool clean) { m_bClean = clean; }

    // Whether a typed character may go into a column of the value type.
    static bool IsKeyAllowed(char32_t character, int valueType);
    // "yyyy-mm-dd" (6), "hh:mm:ss" (7) or both with one blank between (8), from the clock.
    static std::wstring GetCurrentDateTimeText(int valueType);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A navigation key (code 1 left, 2 right, 3 up, 4 down); false when it was not consumed.
    bool OnKeyDown(unsigned code);
    // A typed character of a bound editor; false lets the edit box type it.
    bool OnChar(char32_t character);
    // Text that goes into the box other than by typing a key (a paste, the middle
    // button's selection) passes the typed keys' check: one character that the column
    // refuses refuses the whole text, with the typed key's warning.
    bool AcceptsInsertedText(const QString& text);
    void InsertCurrentDateTime(int valueType);
    // Whether the focus went to the grid or one of its windows.
    bool IsFocusInGrid() const;

    CellEditorOwner* m_pOwner;
    int m_nRow = -1;
    int m_nColumn = -1;
    int m_nNextRow = -1;
    bool m_bClean = false;
};
