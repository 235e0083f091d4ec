#pragma once
// "Index Create Statement": the CREATE INDEX statement the database keeps for an index.
#include <QDialog>

#include <string>

class CADbSqlDb;
class QPlainTextEdit;

inline constexpr wchar_t STR_INDEX_NOT_FOUND[] = L"CViewIndexDlg::OnInitDialog():Failed to locate index name";

class CViewIndexDlg : public QDialog {
    Q_OBJECT
public:
    // Without a parent the dialog is owned by the program's main window.
    explicit CViewIndexDlg(const std::wstring& indexName, QWidget* parent = nullptr);

    int DoModal();

    CADbSqlDb* m_pDb; // the program-wide connection when the dialog was made
    std::wstring m_strIndexName;
    QPlainTextEdit* m_editText;

private:
    void OnInitDialog();
};
