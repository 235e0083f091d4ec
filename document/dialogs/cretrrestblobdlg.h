#pragma once
// "Retrieve/Restore Blob": whether a file is read into a BLOB cell (retrieve) or the
// cell is written to a file (restore), and which file. Choosing the file closes the
// dialog with OK; the caller does the transfer.
#include <QDialog>

#include <string>

class QLabel;
class QPushButton;
class QRadioButton;

class CRetrRestBlobDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int MODE_RETRIEVE = 0; // read the file into the cell
    static constexpr int MODE_RESTORE = 1;  // write the cell to the file

    // noBlob: the cell holds no BLOB, so there is nothing to restore.
    explicit CRetrRestBlobDlg(bool noBlob);

    // Runs the dialog modally; QDialog::Accepted once a file was chosen.
    int DoModal();

    QRadioButton* GetRetrieveButton() const { return m_pRetrieve; }
    QRadioButton* GetRestoreButton() const { return m_pRestore; }
    QPushButton* GetBrowseButton() const { return m_pBrowse; }
    QString GetPrompt() const;

    std::wstring m_strPath;
    int m_nMode = MODE_RETRIEVE;

private:
    void OnInitDialog();
    void OnRetrieveBlob();
    void OnRestoreBlob();
    void OnBrowse();

    bool m_bNoBlob;
    QRadioButton* m_pRetrieve;
    QRadioButton* m_pRestore;
    QLabel* m_pPrompt;
    QPushButton* m_pBrowse;
};
