#include "shell/cbackupfiledlg.h"

#include "data/csplitpath.h"
#include "data/constants.h"
#include "data/formatstring.h"
#include "platform/messagebox.h"
#include "platform/widgets/dialogunits.h"
#include "platform/widgets/modaldialog.h"
#include "shell/backup.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>

void BackupIfDue(const std::wstring& path)
{
    if (!IsBackupDue(path))
        return;
    CBackupFileDlg dialog(path);
    dialog.DoModal();
}

CBackupFileDlg::CBackupFileDlg(const std::wstring& source, QWidget* parent) : QDialog(parent), m_strSource(source)
{
    setWindowTitle(QStringLiteral("File backup is in progress. Please Wait..."));
    setMinimumSize(platform::MapDialogSize(font(), 278, 60));
    auto* layout = new QVBoxLayout(this);
    m_progress = new QProgressBar(this);
    layout->addWidget(m_progress);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(m_btnCancel);
    layout->addLayout(buttons);
    connect(m_btnCancel, &QPushButton::clicked, this, &CBackupFileDlg::OnClickedCancel);
}

CBackupFileDlg::~CBackupFileDlg()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

int CBackupFileDlg::DoModal() { return platform::RunModal(*this); }

void CBackupFileDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_bStarted) {
        m_bStarted = true;
        OnInitDialog();
    }
}

void CBackupFileDlg::OnInitDialog()
{
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_bDone = 0;
    m_worker = std::thread([this, source = m_strSource] {
        std::wstring target;
        const DatabaseCopyResult result = CopyBackupFile(source, target, m_cancel, [this](int percent) {
            QMetaObject::invokeMethod(this, [this, percent] { SetProgress(percent); }, Qt::QueuedConnection);
        });
        if (result.error != 0 && result.error != ECANCELED) {
            // The box names what to look at: the source file when it could not be read,
            // otherwise the backup folder.
            const std::wstring checked = result.sourceFailed ? source : CSplitPath(target.c_str()).GetDir();
            std::wstring text;
            FormatString(text, STR_BACKUP_FAILED, checked, result.error);
            // Shown from this thread without waiting for it.
            platform::MessageBox(nullptr, text, STR_ERROR_CAPTION, platform::MB_OK | platform::MB_ICONERROR);
        }
        QMetaObject::invokeMethod(this, [this, error = result.error] { OnCopyEnded(error); }, Qt::QueuedConnection);
    });
}

void CBackupFileDlg::SetProgress(int percent) { m_progress->setValue(percent); }

void CBackupFileDlg::OnCopyEnded(int error)
{
    if (error == ECANCELED)
        return; // the cancelled copy closed the dialog already
    if (error == 0) {
        SetProgress(100);
        m_bDone = 1;
        RecordBackupTime();
    }
    // A failed copy has ended too: its box is up, and nothing is left to cancel.
    m_bEnded = true;
    if (!m_bAsking)
        done(platform::IDCANCEL);
}

void CBackupFileDlg::OnClickedCancel()
{
    if (m_bAsking)
        return;
    if (m_bEnded) {
        done(platform::IDCANCEL);
        return;
    }
    m_bAsking = true;
    const int answer = platform::MessageBox(this, STR_CANCEL_BACKUP_QUESTION, STR_CANCEL_BACKUP_CAPTION,
                                            platform::MB_YESNO | platform::MB_ICONQUESTION);
    m_bAsking = false;
    // A copy that ended while the question was open (a completed one has recorded its
    // time already) closes the dialog whatever the answer.
    if (m_bEnded) {
        done(platform::IDCANCEL);
    } else if (answer == platform::IDYES) {
        m_cancel = true;
        done(platform::IDCANCEL);
    }
}

void CBackupFileDlg::reject() { OnClickedCancel(); }

void CBackupFileDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    OnClickedCancel();
}
