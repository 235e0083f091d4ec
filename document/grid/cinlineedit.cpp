#include "document/grid/cinlineedit.h"

#include "data/cstringtokenizer.h"
#include "data/datetimeutil.h"
#include "data/formatstring.h"
#include "data/textutil.h"
#include "document/grid/celleditorowner.h"
#include "platform/captionline.h"
#include "platform/utf16.h"
#include "platform/widgets/popupmenu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <memory>

namespace {

constexpr wchar_t kInvalidKeyText[] = L"Input key is invalid for this column";
constexpr wchar_t kInvalidValueFormat[] = L"Value <%s> is invalid for <%s> column type. Value was not saved";

constexpr char32_t kBackspace = 0x08;

const wchar_t* TypeWord(int valueType)
{
    switch (valueType) {
    case FIELDTYPE_INTEGER: return L"Integer";
    case FIELDTYPE_FLOAT: return L"Float";
    case FIELDTYPE_DATE: return L"Date";
    case FIELDTYPE_TIME: return L"Time";
    case FIELDTYPE_DATETIME: return L"DateTime";
    default: return L"";
    }
}

bool IsDateTimeType(int valueType)
{
    return valueType == FIELDTYPE_DATE || valueType == FIELDTYPE_TIME || valueType == FIELDTYPE_DATETIME;
}

// Year, month and day separated by '-' or '/'. The parts are read as 32-bit numbers
// with saturation, so a part too large for a day number cannot wrap into range.
bool ValidateDateText(const std::wstring& text)
{
    const CStringTokenizer parts(text, L"-/");
    if (parts.GetTokenCount() != 3)
        return false;
    return IsValidDate(ReadDecimal(parts.GetToken(0)), ReadDecimal(parts.GetToken(1)), ReadDecimal(parts.GetToken(2)));
}

// Hour, minute and second separated by ':' or blanks, compared as unsigned values, so a
// negative part is invalid.
bool ValidateTimeText(const std::wstring& text)
{
    const CStringTokenizer parts(text, L": ");
    if (parts.GetTokenCount() != 3)
        return false;
    const auto hour = static_cast<unsigned>(ReadDecimal(parts.GetToken(0)));
    const auto minute = static_cast<unsigned>(ReadDecimal(parts.GetToken(1)));
    const auto second = static_cast<unsigned>(ReadDecimal(parts.GetToken(2)));
    return hour <= 24 && minute <= 60 && second <= 60;
}

// A date, a blank and a time; further blank-separated parts are not looked at.
bool ValidateDateTimeText(const std::wstring& text)
{
    const CStringTokenizer parts(text, L" ");
    return ValidateDateText(parts.GetToken(0)) && ValidateTimeText(parts.GetToken(1));
}

// The character that a key press types, as the edit box would receive it; 0 for a key
// that types nothing: an editing command (Ctrl with a key: select all, copy, cut, paste,
// undo), a key without text (Home, End, the arrows), a control character other than
// Backspace, and Delete and Enter, which the grid handles before its editors.
char32_t TypedCharacter(const QKeyEvent& event)
{
    const int key = event.key();
    if (key == Qt::Key_Delete || key == Qt::Key_Return || key == Qt::Key_Enter)
        return 0;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if ((modifiers & (Qt::ControlModifier | Qt::MetaModifier)) && !(modifiers & Qt::AltModifier))
        return 0;
    const std::u32string text = event.text().toStdU32String();
    if (text.empty())
        return 0;
    const char32_t character = text.front();
    if (character == kBackspace)
        return character;
    return character < 0x20 || character == 0x7F ? 0 : character;
}

// Shift with Left or Right extends the text's selection; it never moves to another cell.
bool IsSelectionKey(const QKeyEvent& event)
{
    return (event.key() == Qt::Key_Left || event.key() == Qt::Key_Right) && (event.modifiers() & Qt::ShiftModifier);
}

} // namespace

bool ValidateCellValue(const std::wstring& text, int valueType)
{
    if (text.empty())
        return true;
    switch (valueType) {
    case FIELDTYPE_INTEGER: return IsIntegerText(text);
    case FIELDTYPE_FLOAT: return IsDecimalText(text);
    case FIELDTYPE_DATE: return ValidateDateText(text);
    case FIELDTYPE_TIME: return ValidateTimeText(text);
    case FIELDTYPE_DATETIME: return ValidateDateTimeText(text);
    default: return true;
    }
}

CInlineEdit::CInlineEdit(CellEditorOwner* owner, QWidget* parent)
    : QLineEdit(parent)
    , m_pOwner(owner)
{
    setFrame(false); // the box covers its cell exactly, as a borderless edit control
    // Any change the user makes (typing, deleting, pasting) leaves the editor to be stored
    // when it loses the focus; only the grid's own setText keeps it clean.
    connect(this, &QLineEdit::textEdited, this, [this] { m_bClean = false; });
}

void CInlineEdit::Bind(int row, int column, const std::wstring& text)
{
    setText(platform::ToQString(text));
    setCursorPosition(0);
    m_nRow = row;
    m_nColumn = column;
    m_bClean = true;
}

void CInlineEdit::CommitText(int valueType)
{
    const std::wstring text = platform::FromQString(this->text());
    // Clean before the store: a box shown while the cell is stored takes the focus, and
    // that focus-out must not store the same cell a second time.
    m_bClean = true;
    if (ValidateCellValue(text, valueType)) {
        m_pOwner->SetCell(m_nRow, m_nColumn, text, m_nRow != m_nNextRow);
        return;
    }
    std::wstring message;
    platform::ShowCaptionLine(FormatString(message, kInvalidValueFormat, text, TypeWord(valueType)), platform::CAPTION_LINE_WARNING);
    setFocus();
}

bool CInlineEdit::IsKeyAllowed(char32_t character, int valueType)
{
    if (character == kBackspace)
        return true;
    const bool digit = character >= U'0' && character <= U'9';
    switch (valueType) {
    case FIELDTYPE_INTEGER: return digit || character == U'-';
    case FIELDTYPE_FLOAT: return digit || character == U'-' || character == U'.';
    case FIELDTYPE_DATE: return digit || character == U'-' || character == U'/';
    case FIELDTYPE_TIME: return digit || character == U':';
    // The blank joins the date to the time.
    case FIELDTYPE_DATETIME:
        return digit || character == U'-' || character == U'/' || character == U':' || character == U' ';
    default: return true;
    }
}

std::wstring CInlineEdit::GetCurrentDateTimeText(int valueType)
{
    std::wstring whole;
    std::wstring date;
    std::wstring time;
    GetNowText(whole, date, time); // the date part ends with the blank that joins it to the time
    switch (valueType) {
    case FIELDTYPE_DATE: return date.substr(0, date.size() - 1);
    case FIELDTYPE_TIME: return time;
    default: return whole;
    }
}

bool CInlineEdit::event(QEvent* event)
{
    // Tab and Shift+Tab are the editor's own navigation keys.
    if (QKeyEvent* key = CellTabKey(event)) {
        keyPressEvent(key);
        return true;
    }
    return QLineEdit::event(event);
}

void CInlineEdit::keyPressEvent(QKeyEvent* event)
{
    if (const UINT code = CellNavigationCode(*event); code != 0 && !IsSelectionKey(*event)) {
        if (OnKeyDown(code))
            event->accept();
        else if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
            event->accept(); // inside the text Tab moves nothing, and never the focus
        else
            QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Paste) && !AcceptsInsertedText(QGuiApplication::clipboard()->text())) {
        event->accept();
        return;
    }
    const char32_t character = TypedCharacter(*event);
    if (character != 0 && OnChar(character)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool CInlineEdit::OnKeyDown(unsigned code)
{
    if (m_pOwner->m_bShiftTabLeftPending) {
        m_pOwner->m_bShiftTabLeftPending = false;
        platform::SendMessage(m_pOwner, UM_CELL_LEFT, 0, 0);
        return true;
    }
    if (m_pOwner->m_bTabRightPending) {
        m_pOwner->m_bTabRightPending = false;
        platform::SendMessage(m_pOwner, UM_CELL_RIGHT, 0, 0);
        return true;
    }
    // With a selection Left goes from its start and Right from its end: over the whole
    // text (a cell reached by a key) both go on to the neighbour cell.
    switch (code) {
    case 1:
        if ((hasSelectedText() ? selectionStart() : cursorPosition()) != 0)
            return false;
        platform::SendMessage(m_pOwner, UM_CELL_LEFT, 0, 0);
        return true;
    case 2:
        if ((hasSelectedText() ? selectionEnd() : cursorPosition()) != text().size())
            return false;
        platform::SendMessage(m_pOwner, UM_CELL_RIGHT, 0, 0);
        return true;
    case 3: platform::SendMessage(m_pOwner, UM_CELL_UP, 0, 0); return true;
    case 4: platform::SendMessage(m_pOwner, UM_CELL_DOWN, 0, 0); return true;
    default: return false;
    }
}

bool CInlineEdit::OnChar(char32_t character)
{
    // The hidden editor has no column: it filters nothing and, being read-only, types nothing.
    if (m_nColumn < 0)
        return false;
    const int valueType = m_pOwner->GetValueType(m_nColumn);
    if (character == U'*' && IsDateTimeType(valueType)) {
        InsertCurrentDateTime(valueType);
        return true;
    }
    if (IsKeyAllowed(character, valueType)) {
        m_bClean = false;
        return false;
    }
    platform::ShowCaptionLine(kInvalidKeyText, platform::CAPTION_LINE_WARNING);
    return true;
}

bool CInlineEdit::AcceptsInsertedText(const QString& text)
{
    if (m_nColumn < 0)
        return true;
    const int valueType = m_pOwner->GetValueType(m_nColumn);
    for (const char32_t character : text.toStdU32String()) {
        if (!IsKeyAllowed(character, valueType)) {
            platform::ShowCaptionLine(kInvalidKeyText, platform::CAPTION_LINE_WARNING);
            return false;
        }
    }
    return true;
}

void CInlineEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // The box's own menu, shown as every menu of the program is; its Paste checks the
    // text first.
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    QAction* paste = nullptr;
    for (QAction* action : menu->actions()) {
        if (QObject::disconnect(action, nullptr, this, SLOT(paste()))) {
            paste = action;
            paste->setObjectName(QStringLiteral("edit-paste"));
        }
    }
    QAction* chosen = platform::RunPopupMenu(*menu, event->globalPos());
    if (chosen && chosen == paste && AcceptsInsertedText(QGuiApplication::clipboard()->text()))
        QLineEdit::paste();
    event->accept();
}

void CInlineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the selection of another window.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection() && !isReadOnly() &&
        !AcceptsInsertedText(clipboard->text(QClipboard::Selection))) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CInlineEdit::InsertCurrentDateTime(int valueType)
{
    setText(platform::ToQString(GetCurrentDateTimeText(valueType)));
    setCursorPosition(0);
    // The date is the user's input: leaving by a click elsewhere stores it.
    m_bClean = false;
}

bool CInlineEdit::IsFocusInGrid() const
{
    const QWidget* focus = QApplication::focusWidget();
    const QWidget* grid = m_pOwner->GetGridWidget();
    return focus && grid && (focus == grid || grid->isAncestorOf(focus));
}

void CInlineEdit::focusOutEvent(QFocusEvent* event)
{
    // A context menu of the edit box takes the focus only for a moment, and a click on the
    // grid ends the edit through the grid: in both cases the edit goes on here.
    if (event->reason() != Qt::PopupFocusReason && m_nRow >= 0 && !m_bClean && !IsFocusInGrid()) {
        // Clean first, so that a box shown by the store cannot store the cell again.
        m_bClean = true;
        m_pOwner->SetCell(m_nRow, m_nColumn, platform::FromQString(text()), m_nRow != m_nNextRow);
        hide();
    }
    QLineEdit::focusOutEvent(event);
}
