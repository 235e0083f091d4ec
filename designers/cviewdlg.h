#pragma once
// "View Create Statement": the CREATE VIEW statement the database keeps for a view.
#include <QDialog>

#include <string>

class QPlainTextEdit;

class CViewDlg : public QDialog {
    Q_OBJECT
public:
    // Without a parent the dialog is owned by the program's main window.
    explicit CViewDlg(const std::wstring& viewName, QWidget* parent = nullptr);

    int DoModal();

    std::wstring m_strViewName; // the name as the database writes it, once found
    QPlainTextEdit* m_editText;

private:
    void OnInitDialog();
};
