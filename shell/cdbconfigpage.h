#pragma once
// The "Backup" page of the settings sheet: automatic backup, the file it covers, the
// backup folder and the period. File and folder take effect at once; the rest on OK or
// Apply.
#include "platform/widgets/propertysheet.h"

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

inline constexpr wchar_t STR_UNKNOWN_BACKUP_PERIOD[] = L"Unknown Backup period";

class CDBConfigPage : public platform::PropertyPage {
    Q_OBJECT
public:
    explicit CDBConfigPage(QWidget* parent = nullptr);

    void SaveSettings();

    QCheckBox* m_chkAutoBackup = nullptr;
    QLineEdit* m_edtBackupFile = nullptr;
    QPushButton* m_btnBrowseFile = nullptr;
    QLineEdit* m_edtBackupFolder = nullptr;
    QPushButton* m_btnBrowseFolder = nullptr;
    QRadioButton* m_radDaily = nullptr;
    QRadioButton* m_radWeekly = nullptr;
    QRadioButton* m_radEveryOpening = nullptr;
    QLabel* m_lblToday = nullptr;
    QLabel* m_lblLastBackup = nullptr;

protected:
    void OnInitDialog() override;
    bool OnApply() override;
    // Puts back the backup file and folder chosen with Browse.
    void OnReset() override;

private:
    void BuildControls();
    void OnBrowseFile();
    void OnBrowseFolder();

    // What Cancel puts back: the file and folder as they were when the page was built
    // or last applied.
    std::wstring m_strSavedFile;
    std::wstring m_strSavedFolder;
};
