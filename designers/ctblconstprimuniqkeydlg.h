#pragma once
// "Primary - Unique Key": the keys of the table constraint's PRIMARY KEY or UNIQUE list,
// one grid row per key with its collation and sort order, and the list's conflict
// clause. Add Key picks the key columns among the designer's columns; Delete Key removes
// the selected rows; Add Key and Apply write the list and the clause at once.
#include "designers/columnrecords.h"
#include "document/grid/clistframe.h"
#include "platform/messagetarget.h"

#include <QDialog>

#include <string>
#include <vector>

class QPushButton;

namespace platform {
class ComboBox;
}

class CTblConstPrimUniqKeyDlg : public QDialog, public platform::MessageTarget {
    Q_OBJECT
public:
    // The three records belong to the designer and outlive the dialog.
    CTblConstPrimUniqKeyDlg(std::vector<ColumnDefinition>* columns, std::vector<KeyColumn>* keys,
                            std::wstring* conflict, QWidget* parent);
    ~CTblConstPrimUniqKeyDlg() override;

    int DoModal();

    // UM_LIST_ROW_DELETED from the grid: the row's key goes with it.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnAddKey();
    void OnDeleteKey();
    void OnApply();

    void GetKeyNames(std::vector<std::wstring>& out) const;
    // The key list becomes the names in their order: a name that was a key keeps its
    // collation and sort order, wherever it moves; a new name starts without them. The
    // grid shows the list again.
    void RebuildKeys(const std::vector<std::wstring>& names);
    // Every row's cells into its key, then the conflict clause as the box holds it.
    void CommitKeyGrid();

    CListFrame m_wndList;
    std::vector<ColumnDefinition>* m_pColumns;
    std::wstring* m_pConflict;
    std::vector<KeyColumn>* m_pKeys;
    platform::ComboBox* m_cbConflict;
    QPushButton* m_btnAddKey;
    QPushButton* m_btnDeleteKey;
    QPushButton* m_btnApply;

private:
    void InitKeyGrid();
};
