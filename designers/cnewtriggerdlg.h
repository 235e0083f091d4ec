#pragma once
// "New Trigger": a name, a time, an event (with its columns for UPDATE OF), a table, FOR
// EACH ROW, a condition and a body make CREATE TRIGGER, run on the open database.
#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace platform {
class ComboBox;
}

inline constexpr wchar_t STR_TRIGGER_BODY_TEMPLATE[] = L"BEGIN\r\n\r\nEND";
inline constexpr wchar_t STR_TRIGGER_NAME_REQUIRED[] = L"Trigger name is required.";
inline constexpr wchar_t STR_TRIGGER_TIME_REQUIRED[] = L"Trigger time is required.";
inline constexpr wchar_t STR_TRIGGER_EVENT_REQUIRED[] = L"Trigger event is required.";
inline constexpr wchar_t STR_TRIGGER_TABLE_REQUIRED[] = L"Please Select a table name";
inline constexpr wchar_t STR_TRIGGER_COLUMN_REQUIRED[] = L"Column name is required.";
inline constexpr wchar_t STR_TRIGGER_BODY_REQUIRED[] = L"Trigger body statement is required";
inline constexpr wchar_t STR_TRIGGER_EXISTS[] = L"Trigger <%s> already exists.";

class CNewTriggerDlg : public QDialog {
    Q_OBJECT
public:
    // Without a parent the dialog is owned by the program's main window.
    explicit CNewTriggerDlg(QWidget* parent = nullptr);

    int DoModal();
    // "Column Names...": the UPDATE OF columns, picked from the table's columns.
    void OnColumnNames();
    // The label before the table shows the table chosen.
    void OnTableChange();
    // Only UPDATE OF takes a column list.
    void OnEventChange();
    // Save (or Enter): checks, then runs the statement; closes when it ran.
    void OnSave();
    // The created trigger's name as Save took it.
    std::wstring GetTriggerName() const { return m_strTriggerName; }

    QPlainTextEdit* m_editBody;
    QCheckBox* m_checkForEachRow;
    QLineEdit* m_editName;
    QLabel* m_staticOn;
    platform::ComboBox* m_comboEvent;
    platform::ComboBox* m_comboTable;
    QCheckBox* m_checkTemporary;
    platform::ComboBox* m_comboTime;
    QPlainTextEdit* m_editWhen;
    std::vector<std::wstring> m_arrColumns; // the UPDATE OF columns last picked
    std::wstring m_strTriggerName;
    QLineEdit* m_editColumns;
    QPushButton* m_btnColumns;

private:
    void OnInitDialog();
    // The first failing check shows its box and takes the focus to its control.
    bool Validate();
    std::wstring BuildStatement() const;
};
