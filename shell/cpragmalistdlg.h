#pragma once
// "PRAGMA List": picks one of the stored PRAGMA templates, listed alphabetically.
#include <QDialog>

#include <string>

namespace platform {
class ListBox;
}

class CPragmaListDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPragmaListDlg(QWidget* parent);

    // Runs the dialog modally; QDialog::Accepted after OK.
    int DoModal();

    // The chosen template as stored (backquotes kept); "" when none was selected.
    std::wstring m_strSelected;
    platform::ListBox* m_listBox;

private:
    void OnInitDialog();
    void OnOK();
};
