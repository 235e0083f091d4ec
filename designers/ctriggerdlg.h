#pragma once
// "Create Trigger": the trigger's stored statement, to edit; Save drops the trigger and
// runs the edited text in its place, both or neither. A temporary trigger stays temporary.
#include <QDialog>

#include <string>

class QPlainTextEdit;
class QPushButton;

// The edited text must not end or open a transaction: it runs inside the unit that keeps
// the old trigger when it fails.
inline constexpr wchar_t STR_TRIGGER_TEXT_IS_TRANSACTION[] =
    L"A transaction statement cannot replace the trigger.";

class CTriggerDlg : public QDialog {
    Q_OBJECT
public:
    // Without a parent the dialog is owned by the program's main window.
    explicit CTriggerDlg(const std::wstring& triggerName, QWidget* parent = nullptr);

    int DoModal();
    // The user's first change enables Save.
    void OnTextChange();
    // Drops the trigger and runs the edited text's first statement as one unit; closes
    // when both ran. A text without a statement changes nothing and says nothing; a
    // failure is shown and the old trigger stays.
    void OnSave();

    std::wstring m_strTriggerName; // the name as the database writes it, once found
    bool m_bTemporary = false;     // found in the temporary schema
    QPlainTextEdit* m_editText;
    QPushButton* m_btnSave;

private:
    void OnInitDialog();
};
