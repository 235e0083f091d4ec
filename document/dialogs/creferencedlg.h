#pragma once
// "Related Table": the rows of another table linked to a datasheet row through a
// foreign key, either the row's parent record or its records in a child table.
#include <QDialog>

class CAMFCListCtrl;
class CDataAccess;
class QLabel;

class CReferenceDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int DIRECTION_CHILDREN = 0; // related records in the child tables
    static constexpr int DIRECTION_PARENT = 1;   // the related record in the parent table

    CReferenceDlg(int row, CDataAccess* data, QWidget* parent, int direction);

    // Finds and lists the related rows, then runs the dialog modally.
    int DoModal();

    CAMFCListCtrl* GetList() const { return m_pList; }

private:
    void OnInitDialog();
    // Runs the related query on `table`; lists its rows, or the no-record column.
    void ListRelatedRows(const std::wstring& table, const std::vector<std::wstring>& columns,
                         const std::vector<std::wstring>& targetColumns);
    void FillRelatedList(bool noRecord);

    int m_nDirection;
    CDataAccess* m_pDataAccess;
    int m_nRow;
    CAMFCListCtrl* m_pList;
    QLabel* m_pLabel;
};
