#pragma once
// "SQL/PRAGMA Console": the user composes one statement for the open database from its
// tables and columns, an SQL keyboard, the PRAGMA templates, the saved queries and the
// clipboard. Execute closes the dialog with the statement; the caller runs it.
#include <QDialog>

#include <array>
#include <string>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace platform {
class ComboBox;
}

// One key of the SQL keyboard: its caption and the text it inserts, blanks included.
struct SqlKeyboardKey {
    const wchar_t* caption;
    const wchar_t* text;
};

// The keys in the console's order.
inline constexpr std::array<SqlKeyboardKey, 20> kSqlKeyboard = {{
    {L"SELECT", L" SELECT "},
    {L"UPDATE", L" UPDATE "},
    {L"INSERT", L" INSERT "},
    {L"DELETE", L" DELETE "},
    {L"JOIN", L" JOIN "},
    {L"UNION", L" UNION "},
    {L"ALTER", L" ALTER "},
    {L"CREATE", L" CREATE "},
    {L".", L"."},
    {L",", L","},
    {L"FROM", L" FROM "},
    {L"WHERE", L" WHERE "},
    {L"ORDER BY", L" ORDER BY "},
    {L"REINDEX", L" REINDEX "},
    {L"DISTINCT", L" DISTINCT "},
    {L"AND", L" AND "},
    {L"OR", L" OR "},
    {L"DROP", L" DROP "},
    {L"'", L"'"},
    {L"\"", L"\""},
}};

class CQueryDlg : public QDialog {
    Q_OBJECT
public:
    explicit CQueryDlg(QWidget* owner);

    // Runs the console modally: QDialog::Accepted after Execute, with the statement in
    // m_strStatement exactly as it stood in the editor; QDialog::Rejected after Cancel.
    int DoModal();

    std::wstring m_strStatement; // empty until Execute fills it
    platform::ComboBox* m_cbTable;
    QPushButton* m_btnExecute;
    QPlainTextEdit* m_edStatement;
    QCheckBox* m_chkIncludeTable;

private:
    void OnInitDialog();
    void FillTableList();
    void OnExecute();
    void OnFields();
    void OnPragmaList();
    void OnSqlList();
    void OnStatementChange();
    void OnPasteScript();
    // Inserts the text at the caret in place of the selection, as one undoable edit.
    void InsertAtCaret(const std::wstring& text);
    // Replaces the whole statement by the text and enables Execute.
    void ReplaceStatement(const std::wstring& text);
};
