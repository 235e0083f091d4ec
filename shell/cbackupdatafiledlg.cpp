#include "shell/cbackupdatafiledlg.h"

#include "document/session/currentdatabase.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/dialogunits.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "shell/cbackupfiledlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CBackupDataFileDlg::CBackupDataFileDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Backup"));
    setMinimumSize(platform::MapDialogSize(font(), 267, 59));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(platform::NewLabel(QStringLiteral("Source File:"), this));
    m_edtSource = new QLineEdit(this);
    row->addWidget(m_edtSource, 1);
    m_btnBrowse = new QPushButton(QStringLiteral("..."), this);
    m_btnBrowse->setAutoDefault(false);
    row->addWidget(m_btnBrowse);
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_btnOk = new QPushButton(QStringLiteral("OK"), this);
    m_btnOk->setDefault(true);
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_btnCancel->setAutoDefault(false);
    buttons->addWidget(m_btnOk);
    buttons->addWidget(m_btnCancel);
    layout->addLayout(buttons);
    connect(m_btnBrowse, &QPushButton::clicked, this, &CBackupDataFileDlg::OnBrowse);
    connect(m_btnOk, &QPushButton::clicked, this, &CBackupDataFileDlg::OnOK);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    OnInitDialog();
}

int CBackupDataFileDlg::DoModal() { return platform::RunModal(*this); }

void CBackupDataFileDlg::OnInitDialog() { m_edtSource->setText(platform::ToQString(g_strCurrentDbPath)); }

std::wstring ChooseDatabaseFile(QWidget* owner, const std::wstring& initialPath)
{
    platform::FileRequest request;
    request.owner = owner;
    request.initialPath = initialPath;
    request.defaultExtension = L"db";
    request.filter = L"Sqlite Files (*.db);;All Files (*)";
    return platform::GetFileName(request);
}

void CBackupDataFileDlg::OnBrowse()
{
    const std::wstring path = ChooseDatabaseFile(this, platform::FromQString(m_edtSource->text()));
    if (!path.empty())
        m_edtSource->setText(platform::ToQString(path));
}

void CBackupDataFileDlg::OnOK()
{
    const std::wstring source = platform::FromQString(m_edtSource->text());
    if (source.empty()) {
        platform::MessageBox(this, STR_ENTER_SOURCE_FILE, STR_INPUT_INVALID_CAPTION, platform::MB_OK | platform::MB_ICONINFORMATION);
        return;
    }
    CBackupFileDlg progress(source, this);
    progress.DoModal();
    accept();
}
