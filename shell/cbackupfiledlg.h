#pragma once
// The progress dialog of one backup copy. A worker thread makes the copy and reaches
// the dialog only through queued calls; the dialog closes by itself when the copy has
// ended: recording the time when it succeeded, after the failure's box when it failed.
// Cancel asks first and stops the copy, which removes what it had written. The worker
// is joined before the dialog goes.
#include <QDialog>

#include <atomic>
#include <string>
#include <thread>

class QProgressBar;
class QPushButton;

inline constexpr wchar_t STR_CANCEL_BACKUP_QUESTION[] = L"Are you sure to cancel this backup ?";
inline constexpr wchar_t STR_CANCEL_BACKUP_CAPTION[] = L"Cancel Backup";

// The backup step of opening a file: when IsBackupDue says so, the progress dialog
// makes the copy, modally, before the file is opened.
void BackupIfDue(const std::wstring& path);

class CBackupFileDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBackupFileDlg(const std::wstring& source, QWidget* parent = nullptr);
    ~CBackupFileDlg() override;

    // Runs the dialog modally; the copy starts when it shows.
    int DoModal();

    void SetProgress(int percent);
    void OnClickedCancel();

    QProgressBar* m_progress = nullptr;
    QPushButton* m_btnCancel = nullptr;
    int m_bDone = 0; // 1 once the copy succeeded
    std::wstring m_strSource;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override; // Escape and the close box
    void closeEvent(QCloseEvent* event) override;

private:
    void OnInitDialog();
    void OnCopyEnded(int error);

    std::thread m_worker;
    std::atomic<bool> m_cancel = false;
    bool m_bAsking = false;
    bool m_bEnded = false; // the copy has ended, whatever its result
    bool m_bStarted = false;
};
