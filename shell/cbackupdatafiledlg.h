#pragma once
// The "Backup" dialog of the Backup command: the user picks the file to copy (the open
// database to begin with), and OK runs the backup progress dialog on it.
#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;

inline constexpr wchar_t STR_ENTER_SOURCE_FILE[] = L"Please enter source file name";
inline constexpr wchar_t STR_INPUT_INVALID_CAPTION[] = L"Input Invalid";

// The open-file dialog of the backup source and the backup settings' file: "" when
// cancelled.
std::wstring ChooseDatabaseFile(QWidget* owner, const std::wstring& initialPath);

class CBackupDataFileDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBackupDataFileDlg(QWidget* parent = nullptr);

    int DoModal();
    void OnBrowse();
    void OnOK();

    QLineEdit* m_edtSource = nullptr;
    QPushButton* m_btnBrowse = nullptr;
    QPushButton* m_btnOk = nullptr;
    QPushButton* m_btnCancel = nullptr;

private:
    void OnInitDialog();
};
