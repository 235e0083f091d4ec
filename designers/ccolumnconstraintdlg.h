#pragma once
// "Column Constraint": edits the constraint part of one column record on a copy. Apply
// stores the controls into the copy, marks it as having a constraint and closes; the
// caller then copies m_column back. Cancel drops the copy, the foreign-key clause set
// through Set Foreign Key included. Enter presses nothing.
#include "designers/columnrecords.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace platform {
class ComboBox;
}

class CColumnConstraintDlg : public QDialog {
    Q_OBJECT
public:
    // Copies the record. Without a parent the dialog is owned by the program's main window.
    CColumnConstraintDlg(const ColumnDefinition* column, QWidget* parent);

    // Runs the dialog modally; QDialog::Accepted after Apply, QDialog::Rejected after Cancel.
    int DoModal();

    ColumnDefinition m_column; // the working copy
    QCheckBox* m_chkPrimaryKey;
    QCheckBox* m_chkAutoIncrement;
    QPlainTextEdit* m_edCheck;
    platform::ComboBox* m_cbCollate;
    QLineEdit* m_edConstraintName;
    QPlainTextEdit* m_edDefault;
    QCheckBox* m_chkNotNull;
    platform::ComboBox* m_cbNotNullConflict;
    platform::ComboBox* m_cbPkConflict;
    platform::ComboBox* m_cbSortBy;
    QCheckBox* m_chkUnique;
    platform::ComboBox* m_cbUniqueConflict;
    QPushButton* m_btnSetForeignKey;
    QPushButton* m_btnApply;

private:
    void OnInitDialog();
    // The controls show the copy's constraint fields.
    void LoadControls();
    // The copy's constraint fields from the controls, as they stand; then the copy has a
    // constraint. Name, type, size, precision and the foreign-key fields stay.
    void SaveControls();
    void OnSetForeignKey();
    void OnApply();
};
