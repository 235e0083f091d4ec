#pragma once
// "Set Foreign Key": edits the foreign-key fields of a column record in place. The column
// constraint dialog opens it for one column (column mode), the table constraint dialog for
// the table's FOREIGN KEY (table mode). The field pickers of Set Parent Key... and Set Child
// Key... write the key lists at once; Apply writes the six texts and closes. Enter presses
// nothing.
#include "designers/columnrecords.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace platform {
class ComboBox;
}

class CForKeyClauseDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int MODE_TABLE = 0;
    static constexpr int MODE_COLUMN = 1;

    // The child candidates (column mode: the column's one name; table mode: every column of
    // the design) and the record belong to the caller and must outlive the dialog. Without
    // a parent the dialog is owned by the program's main window.
    CForKeyClauseDlg(std::vector<std::wstring>* childCandidates, ColumnDefinition* clause, QWidget* parent, int mode);

    // Runs the dialog modally; QDialog::Accepted after Apply. Callers need not look: the
    // record holds everything the dialog changed.
    int DoModal();

    ColumnDefinition* m_pClause;
    std::vector<std::wstring>* m_pChildCandidates;
    int m_nMode;
    platform::ComboBox* m_cbDeferrable;
    platform::ComboBox* m_cbParentTable; // a drop-down list: no typed text
    platform::ComboBox* m_cbInitially;
    platform::ComboBox* m_cbMatch;
    platform::ComboBox* m_cbOnDelete;
    platform::ComboBox* m_cbOnUpdate;
    QLabel* m_stChildKey;
    QPushButton* m_btnSetParentKey;
    QPushButton* m_btnSetChildKey;
    QPushButton* m_btnApply;

private:
    void OnInitDialog();
    // The box of each stored text shows it again: the parent table, the actions, MATCH,
    // deferrable and initially texts.
    void SelectStoredValues();
    // The six texts from their boxes into the record; the initially text only with a
    // deferrable text.
    void StoreControls();
    // Table mode's child label: "Child Key: " and the record's child keys.
    void ShowChildKeys();
    void OnDeferrableChange();
    void OnSetParentKey();
    void OnSetChildKey();
    void OnApply();
};
