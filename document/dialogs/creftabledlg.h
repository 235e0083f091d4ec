#pragma once
// "Related Tables": asks which of a table's child tables to list.
#include <QDialog>

#include <string>
#include <vector>

class CAMFCListCtrl;

class CRefTableDlg : public QDialog {
    Q_OBJECT
public:
    // The names are listed in their order; the list must outlive the dialog.
    CRefTableDlg(const std::vector<std::wstring>* tables, QWidget* parent);

    // Runs the dialog modally; QDialog::Accepted after OK.
    int DoModal();

    CAMFCListCtrl* GetList() const { return m_pList; }

    // The chosen table; empty after Cancel or OK without a marked row.
    std::wstring m_strTable;

private:
    void OnInitDialog();
    void OnClickedOk();

    const std::vector<std::wstring>* m_pTables;
    CAMFCListCtrl* m_pList;
};
