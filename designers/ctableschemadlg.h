#pragma once
// "New Table": the user names a table, adds one grid row per column, opens a row's
// column constraint and the table constraint, and presses Save, which composes CREATE
// TABLE from the records and runs it. Record i belongs to grid row i: rows are only
// appended by Add Field and only deleted through the grid's confirmed delete.
#include "designers/columnrecords.h"
#include "document/grid/clistframe.h"
#include "platform/messagetarget.h"

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

class CTableSchemaDlg : public QDialog, public platform::MessageTarget {
    Q_OBJECT
public:
    // Without a parent the dialog is owned by the program's main window.
    explicit CTableSchemaDlg(QWidget* parent = nullptr);
    ~CTableSchemaDlg() override;

    int DoModal();

    // The table name as it stood in the name edit at Save.
    std::wstring GetTableName() const { return m_strTableName; }

    // UM_CELL_BUTTON and UM_LIST_ROW_DELETED from the grid.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnAddField();
    // The "..." cell of a row: the column constraint dialog on the row's record as the
    // grid shows it; Apply there replaces the record and shows its flags and default.
    LRESULT OnCellButton(WPARAM column, LPARAM row);
    LRESULT OnListRowDeleted(LPARAM row);
    void OnTableConstraint();
    void OnSave();

    // The record of the row with the row's cells; false (out as the record, or as it was
    // for a row without a record) when the row is not in the grid.
    bool ReadColumnFromGrid(int row, ColumnDefinition& out) const;
    // Every record brought up to date from its row; an open cell is closed first.
    void RefreshColumnsFromGrid();
    // The first failing input check in its box; false then.
    bool ValidateInput();
    // The statement of the name edit, the records and the table constraint.
    std::wstring BuildCreateTable();

    CListFrame m_wndList;
    std::wstring m_strTableName;
    std::vector<ColumnDefinition> m_arrColumns;
    TableConstraint m_constraint;
    QLineEdit* m_editTableName;
    QPushButton* m_btnTableConstraint;
    QPushButton* m_btnAddField;
    QPushButton* m_btnSave;

private:
    void InitGridColumns();
    // The row's Primary, Not NULL, Unique and Default cells from its record.
    void ShowColumnFlags(int row);
    bool HasRecord(LPARAM row) const;
};
