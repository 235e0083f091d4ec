#include "shell/cdbconfigpage.h"

#include "data/browseforfolder.h"
#include "data/cappdatafile.h"
#include "data/constants.h"
#include "data/datetimeutil.h"
#include "data/formatstring.h"
#include "data/settings.h"
#include "document/session/cmainframebase.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/dialogunits.h"
#include "platform/widgets/plaintext.h"
#include "shell/cbackupdatafiledlg.h"
#include "shell/settingsloaders.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kTodayFormat = QStringLiteral("Today Date Time: %1");
const QString kLastBackupFormat = QStringLiteral("Last Backup: %1");

} // namespace

CDBConfigPage::CDBConfigPage(QWidget* parent) : PropertyPage(QStringLiteral("Backup"), parent) {}

void CDBConfigPage::BuildControls()
{
    setMinimumSize(platform::MapDialogSize(font(), 335, 159));
    auto* grid = new QGridLayout(this);
    m_chkAutoBackup = new QCheckBox(QStringLiteral("Automatic backup database file"), this);
    grid->addWidget(m_chkAutoBackup, 0, 0, 1, 3);

    m_edtBackupFile = new QLineEdit(this);
    m_edtBackupFile->setReadOnly(true);
    m_btnBrowseFile = new QPushButton(QStringLiteral("Browse..."), this);
    grid->addWidget(platform::NewLabel(QStringLiteral("Backup File:"), this), 1, 0);
    grid->addWidget(m_edtBackupFile, 1, 1);
    grid->addWidget(m_btnBrowseFile, 1, 2);

    m_edtBackupFolder = new QLineEdit(this);
    m_edtBackupFolder->setReadOnly(true);
    m_btnBrowseFolder = new QPushButton(QStringLiteral("Browse..."), this);
    grid->addWidget(platform::NewLabel(QStringLiteral("Backup Location:"), this), 2, 0);
    grid->addWidget(m_edtBackupFolder, 2, 1);
    grid->addWidget(m_btnBrowseFolder, 2, 2);

    auto* policy = new QGroupBox(QStringLiteral("Backup Policy"), this);
    auto* policyColumn = new QVBoxLayout(policy);
    m_radDaily = new QRadioButton(QStringLiteral("Backup once every day on first file opening"), policy);
    m_radWeekly = new QRadioButton(QStringLiteral("Backup once every week on first file opening"), policy);
    m_radEveryOpening = new QRadioButton(QStringLiteral("Backup every time file opening"), policy);
    auto* periods = new QButtonGroup(this);
    for (QRadioButton* radio : {m_radDaily, m_radWeekly, m_radEveryOpening}) {
        periods->addButton(radio);
        policyColumn->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this, [this] { SetModified(); });
    }
    grid->addWidget(policy, 3, 0, 1, 3);

    m_lblToday = platform::NewLabel(QStringLiteral("Static"), this);
    m_lblLastBackup = platform::NewLabel(QStringLiteral("Last backup"), this);
    grid->addWidget(m_lblToday, 4, 0, 1, 3);
    grid->addWidget(m_lblLastBackup, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);

    connect(m_btnBrowseFile, &QPushButton::clicked, this, &CDBConfigPage::OnBrowseFile);
    connect(m_btnBrowseFolder, &QPushButton::clicked, this, &CDBConfigPage::OnBrowseFolder);
}

void CDBConfigPage::OnInitDialog()
{
    m_strSavedFile = g_strBackupFile;
    m_strSavedFolder = g_strBackupFolder;
    BuildControls();
    m_chkAutoBackup->setChecked(g_bAutoBackup);
    if (CAppDataFile* store = MainAppDataFile())
        store->GetTextValue(NODE_BACKUP_DATE_TIME, g_strLastBackup);
    switch (g_nBackupPeriod) {
    case BACKUP_DAILY:
        m_radDaily->setChecked(true);
        break;
    case BACKUP_WEEKLY:
        m_radWeekly->setChecked(true);
        break;
    case BACKUP_EVERY_OPENING:
        m_radEveryOpening->setChecked(true);
        break;
    default:
        platform::MessageBox(this, STR_UNKNOWN_BACKUP_PERIOD, STR_PRODUCT_NAME, platform::MB_OK);
        break;
    }
    m_edtBackupFile->setText(platform::ToQString(g_strBackupFile));
    m_edtBackupFolder->setText(platform::ToQString(g_strBackupFolder));
    m_lblLastBackup->setText(kLastBackupFormat.arg(platform::ToQString(g_strLastBackup)));
    std::wstring now, date, time;
    m_lblToday->setText(kTodayFormat.arg(platform::ToQString(GetNowText(now, date, time))));
}

void CDBConfigPage::OnBrowseFile()
{
    const std::wstring path = ChooseDatabaseFile(this, g_strBackupFile);
    if (path.empty())
        return;
    g_strBackupFile = path;
    m_edtBackupFile->setText(platform::ToQString(path));
    SetModified();
}

void CDBConfigPage::OnBrowseFolder()
{
    std::wstring folder;
    BrowseForFolder(folder, this, g_strBackupFolder, L"Select Backup Folder");
    if (folder.empty())
        return;
    g_strBackupFolder = folder;
    m_edtBackupFolder->setText(platform::ToQString(folder));
    SetModified();
}

bool CDBConfigPage::OnApply()
{
    SaveSettings();
    return true;
}

void CDBConfigPage::SaveSettings()
{
    g_bAutoBackup = m_chkAutoBackup->isChecked();
    if (m_radDaily->isChecked())
        g_nBackupPeriod = BACKUP_DAILY;
    if (m_radWeekly->isChecked())
        g_nBackupPeriod = BACKUP_WEEKLY;
    if (m_radEveryOpening->isChecked())
        g_nBackupPeriod = BACKUP_EVERY_OPENING;
    if (CAppDataFile* store = MainAppDataFile()) {
        std::wstring text;
        store->UpdateTextValue(NODE_BUP_AUTO, FormatString(text, L"%d", g_bAutoBackup ? 1 : 0));
        store->UpdateTextValue(NODE_BUP_PERIOD, FormatString(text, L"%d", g_nBackupPeriod));
        if (!g_strBackupFile.empty())
            store->UpdateTextValue(NODE_BUP_WORK_FILE, g_strBackupFile);
        if (!g_strBackupFolder.empty())
            store->UpdateTextValue(NODE_BUP_LOCATION, g_strBackupFolder);
    }
    m_strSavedFile = g_strBackupFile;
    m_strSavedFolder = g_strBackupFolder;
    SetModified(false);
}

void CDBConfigPage::OnReset()
{
    g_strBackupFile = m_strSavedFile;
    g_strBackupFolder = m_strSavedFolder;
}
