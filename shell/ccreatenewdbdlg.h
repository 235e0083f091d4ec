#pragma once
// "Database Creation Options": where the new database file goes, whether it takes the
// structure of an existing database, and its encoding, page size and auto-vacuum mode.
// The dialog only checks and hands over the choices; the file is made when it is opened.
#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace platform {
class ComboBox;
}

inline constexpr wchar_t STR_FILE_EXISTS_CAPTION[] = L"File Exists";
inline constexpr wchar_t STR_FILE_EXISTS[] = L"File already exists. Please enter a different file name.";
inline constexpr wchar_t STR_ENTER_FILE_NAME_CAPTION[] = L"Enter File Name";
inline constexpr wchar_t STR_ENTER_NEW_FILE_NAME[] = L"Please enter new database file name.";
inline constexpr wchar_t STR_ENTER_EXISTING_FILE_NAME[] = L"Please enter existing database file name.";
inline constexpr wchar_t STR_FILE_NOT_EXISTS_CAPTION[] = L"File Not Exists";
inline constexpr wchar_t STR_FILE_NOT_EXISTS[] = L"Is not existed.";
inline constexpr wchar_t STR_SELECT_A_FOLDER[] = L"Please select a folder";

class CCreateNewDbDlg : public QDialog {
    Q_OBJECT
public:
    // Without a parent the dialog is owned by the program's main window.
    explicit CCreateNewDbDlg(QWidget* parent = nullptr);

    // Runs the dialog modally; QDialog::Accepted after Create.
    int DoModal();

    // The choices, set by Create.
    int m_bNewDatabase = 1; // 1: an empty database; 0: with the structure of m_strSourcePath
    std::wstring m_strNewPath;
    std::wstring m_strSourcePath;
    std::wstring m_strEncoding;
    std::wstring m_strPageSize;
    int m_nAutoVacuum = 0;

    platform::ComboBox* m_cbEncoding;
    platform::ComboBox* m_cbPageSize;
    QCheckBox* m_chkAutoVacuum;
    QRadioButton* m_rbCreateNew;
    QRadioButton* m_rbFromExisting;
    QLineEdit* m_edSourcePath;
    QPushButton* m_btnBrowseSource;
    QLineEdit* m_edNewPath;
    QPushButton* m_btnBrowseFolder;
    QPushButton* m_btnCreate;

private:
    void OnInitDialog();
    void OnClickedCreateNew();
    void OnClickedFromExisting();
    void OnBrowseSourceFile();
    void OnBrowseFolder();
    void OnClickedCreate();
    // Checks the inputs in order and takes them over; the first refusal shows its box
    // and returns false.
    bool ValidateInput();
    void ShowBox(const std::wstring& text, const wchar_t* caption);
};
