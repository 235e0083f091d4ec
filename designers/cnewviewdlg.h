#pragma once
// "New View": a name and a SELECT text make CREATE VIEW, run on the open database.
#include <QDialog>

#include <string>

class QLineEdit;
class QPlainTextEdit;

inline constexpr wchar_t STR_VIEW_NAME_REQUIRED[] = L"View name is require.";
inline constexpr wchar_t STR_VIEW_SELECT_REQUIRED[] = L"Select statement is required.";
inline constexpr wchar_t STR_VIEW_EXISTS[] = L"View <%s> already exists.";

class CNewViewDlg : public QDialog {
    Q_OBJECT
public:
    // Without a parent the dialog is owned by the program's main window.
    explicit CNewViewDlg(QWidget* parent = nullptr);

    int DoModal();
    // OK (or Enter in the name): checks, then runs the statement; closes when it ran.
    void OnSave();
    // The created view's name as Save took it.
    std::wstring GetViewName() const { return m_strViewName; }

    std::wstring m_strViewName;
    QLineEdit* m_editName;
    QPlainTextEdit* m_editSelect;

private:
    // The first failing check shows its box and takes the focus to its control.
    bool Validate();
    // Takes the name and composes the statement.
    std::wstring BuildStatement();
};
