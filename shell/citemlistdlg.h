#pragma once
// "SQL List": picks one of the saved queries, shown in their given order.
#include <QDialog>

#include <string>
#include <vector>

namespace platform {
class ReportList;
}

class CItemListDlg : public QDialog {
    Q_OBJECT
public:
    // Both belong to the caller and must outlive the dialog.
    CItemListDlg(std::wstring* result, const std::vector<std::wstring>* items, QWidget* parent);

    // Runs the dialog modally; QDialog::Accepted after OK.
    int DoModal();

    std::wstring* m_pResult;                    // the chosen entry; unchanged when none was selected
    const std::vector<std::wstring>* m_pItems;  // the entries offered
    platform::ReportList* m_list;

private:
    void OnInitDialog();
    void OnOK();
};
