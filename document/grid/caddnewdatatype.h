#pragma once
// "Add New Data Type": the small modal dialog in which the user types the name of a new
// data type for the type cell's "New Type..." entry. It has no parent window.
#include <QDialog>

#include <string>

class QLineEdit;

class CAddNewDataType : public QDialog {
    Q_OBJECT
public:
    CAddNewDataType();

    // OK: the name as typed (not trimmed, possibly empty). Cancel leaves it empty.
    void accept() override;

    QLineEdit* GetNameEdit() const { return m_pEdit; }

    std::wstring m_strTypeName;

private:
    QLineEdit* m_pEdit;
};
