#pragma once
// "Trigger Create Statement": the CREATE TRIGGER statement the database keeps for a trigger,
// a temporary one included.
#include <QDialog>

#include <string>

class QPlainTextEdit;

class CViewTriggerDlg : public QDialog {
    Q_OBJECT
public:
    // Without a parent the dialog is owned by the program's main window.
    explicit CViewTriggerDlg(const std::wstring& triggerName, QWidget* parent = nullptr);

    int DoModal();

    std::wstring m_strTriggerName; // the name as the database writes it, once found
    QPlainTextEdit* m_editText;

private:
    void OnInitDialog();
};
