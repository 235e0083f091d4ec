#pragma once
// "Table Schema": the CREATE statement the database keeps for a table, with a button that
// copies it to the clipboard.
#include <QDialog>

#include <string>

class QPlainTextEdit;

class CTableScriptDlg : public QDialog {
    Q_OBJECT
public:
    // Without a parent the dialog is owned by the program's main window.
    explicit CTableScriptDlg(const std::wstring& tableName, QWidget* parent = nullptr);

    int DoModal();
    // Copy Script: the whole statement, selected, onto the clipboard; the dialog stays open.
    void OnCopyScript();

    std::wstring m_strTableName;
    QPlainTextEdit* m_editScript;

private:
    void OnInitDialog();
};
