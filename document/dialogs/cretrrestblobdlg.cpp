#include "document/dialogs/cretrrestblobdlg.h"

#include "platform/widgets/dialogframe.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/modaldialog.h"
#include "platform/utf16.h"
#include "platform/widgets/plaintext.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

CRetrRestBlobDlg::CRetrRestBlobDlg(bool noBlob)
    : QDialog(nullptr)
    , m_bNoBlob(noBlob)
    , m_pRetrieve(new QRadioButton(QStringLiteral("Retrieve Blob"), this))
    , m_pRestore(new QRadioButton(QStringLiteral("Restore Blob"), this))
    , m_pPrompt(platform::NewLabel(this))
    , m_pBrowse(new QPushButton(QStringLiteral("Browse..."), this))
{
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    // There is no OK button: Enter must not close the dialog without a file.
    m_pBrowse->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(m_pRetrieve, &QRadioButton::clicked, this, &CRetrRestBlobDlg::OnRetrieveBlob);
    connect(m_pRestore, &QRadioButton::clicked, this, &CRetrRestBlobDlg::OnRestoreBlob);
    connect(m_pBrowse, &QPushButton::clicked, this, &CRetrRestBlobDlg::OnBrowse);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_pRetrieve, 0, 0);
    layout->addWidget(m_pRestore, 0, 1);
    layout->addWidget(m_pPrompt, 1, 0, 1, 2);
    layout->addWidget(m_pBrowse, 2, 0);
    layout->addWidget(cancel, 2, 1);
    InitDialogFrame(*this, QStringLiteral("Retrieve/Restore Blob"), 205, 70);
    OnInitDialog();
}

int CRetrRestBlobDlg::DoModal()
{
    return platform::RunModal(*this);
}

QString CRetrRestBlobDlg::GetPrompt() const
{
    return m_pPrompt->text();
}

void CRetrRestBlobDlg::OnInitDialog()
{
    m_pRetrieve->setChecked(true);
    OnRetrieveBlob();
    m_pRestore->setEnabled(!m_bNoBlob);
}

void CRetrRestBlobDlg::OnRetrieveBlob()
{
    m_nMode = MODE_RETRIEVE;
    m_pPrompt->setText(QStringLiteral("Browse to file to be saved into database."));
}

void CRetrRestBlobDlg::OnRestoreBlob()
{
    m_nMode = MODE_RESTORE;
    m_pPrompt->setText(QStringLiteral("Browse to folder and enter file name to be restored."));
}

void CRetrRestBlobDlg::OnBrowse()
{
    platform::FileRequest request;
    request.owner = this;
    request.save = m_nMode == MODE_RESTORE;
    request.initialPath = m_strPath;
    request.defaultExtension = L"bmp";
    request.filter = L"All Files (*)";
    // Retrieving reads an existing file; restoring may name a new file, and the save
    // dialog asks before it replaces an existing one.
    request.mustExist = !request.save;
    request.confirmOverwrite = true;
    const std::wstring path = platform::GetFileName(request);
    if (path.empty())
        return;
    m_strPath = path;
    accept();
}
