#pragma once
// "Table Constraint": the table designer's constraint name and CHECK expression, and
// the buttons that open the PRIMARY KEY and UNIQUE key lists and the table's FOREIGN
// KEY. The inner dialogs write the designer's records at once; Apply writes the name and
// the CHECK text.
#include "designers/columnrecords.h"

#include <QDialog>

#include <string>
#include <vector>

class CTableSchemaDlg;
class QLineEdit;
class QPushButton;

class CTableConstraintDlg : public QDialog {
    Q_OBJECT
public:
    // The designer is parent and owner: its records are the ones edited.
    explicit CTableConstraintDlg(CTableSchemaDlg* owner);

    int DoModal();

    void OnSetPrimaryKey();
    void OnSetUniqueKey();
    void OnSetForeignKey();
    void OnApply();

    CTableSchemaDlg* m_pOwner;
    QLineEdit* m_editName;
    QLineEdit* m_editCheck;
    QPushButton* m_btnPrimaryKey;
    QPushButton* m_btnUniqueKey;
    QPushButton* m_btnForeignKey;
    QPushButton* m_btnApply;

private:
    // The key dialog on one of the constraint's key lists and its conflict clause.
    void EditKeys(std::vector<KeyColumn>& keys, std::wstring& conflict);
};
