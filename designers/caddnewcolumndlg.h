#pragma once
// "Add Field": one new column for an existing table. OK composes ALTER TABLE ... ADD
// COLUMN from the controls and the column constraint applied through Constraint...,
// runs it and closes; a statement the database refuses leaves the dialog open.
#include "designers/columnrecords.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace platform {
class ComboBox;
}

class CAddNewColumnDlg : public QDialog {
    Q_OBJECT
public:
    CAddNewColumnDlg(const std::wstring& tableName, QWidget* parent);

    int DoModal();

    // The column name as it stood in the Field Name edit at OK.
    std::wstring GetColumnName() const { return m_strColumnName; }

    void OnConstraint();
    void OnBnClickedOk();

    ColumnDefinition m_column;
    std::wstring m_strTableName;
    std::wstring m_strColumnName;
    QLineEdit* m_editDefault;
    QCheckBox* m_chkNotNull;
    QLineEdit* m_editPrecision;
    QCheckBox* m_chkPrimary;
    QLineEdit* m_editSize;
    platform::ComboBox* m_cbType;
    QCheckBox* m_chkUnique;
    QLineEdit* m_editName;
    QPushButton* m_btnConstraint;
    QPushButton* m_btnOk;

private:
    // The record's flags and default from the check boxes and the Default edit.
    void StoreFlagsAndDefault();
};
