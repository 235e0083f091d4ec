#include "shell/ccreatenewdbdlg.h"

#include "data/browseforfolder.h"
#include "data/cappdatafile.h"
#include "data/constants.h"
#include "data/csplitpath.h"
#include "data/formatstring.h"
#include "document/session/cmainframebase.h"
#include "platform/widgets/dialogframe.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/dialogunits.h"
#include "platform/widgets/filedialog.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "platform/widgets/presenters.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

// The dialog's controls stand at fixed places given in dialog units. A label, check box or
// radio button whose text needs more room (another font than the dialog's own) is widened,
// and moved left where it would leave the dialog.
void Place(QWidget* control, int x, int y, int width, int height)
{
    const QWidget* dialog = control->parentWidget();
    const QSize origin = platform::MapDialogSize(dialog->font(), x, y);
    QSize size = platform::MapDialogSize(dialog->font(), width, height);
    if (!qobject_cast<QPushButton*>(control) && !qobject_cast<QLineEdit*>(control) && !qobject_cast<QComboBox*>(control))
        size.setWidth(std::max(size.width(), control->sizeHint().width()));
    const int left = std::max(0, std::min(origin.width(), dialog->width() - size.width() - origin.height() / 4));
    control->setGeometry(QRect(QPoint(left, origin.height()), size));
}

} // namespace

CCreateNewDbDlg::CCreateNewDbDlg(QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_cbEncoding(new platform::ComboBox(false, false, this))
    , m_cbPageSize(new platform::ComboBox(false, false, this))
    , m_chkAutoVacuum(new QCheckBox(QStringLiteral("Auto Vacuum"), this))
    , m_rbCreateNew(new QRadioButton(QStringLiteral("Create new database"), this))
    , m_rbFromExisting(new QRadioButton(QStringLiteral("Create new database from existing database structure"), this))
    , m_edSourcePath(new QLineEdit(this))
    , m_btnBrowseSource(new QPushButton(QStringLiteral("Browse..."), this))
    , m_edNewPath(new QLineEdit(this))
    , m_btnBrowseFolder(new QPushButton(QStringLiteral("Browse..."), this))
    , m_btnCreate(new QPushButton(QStringLiteral("Create"), this))
{
    InitDialogFrame(*this, QStringLiteral("Database Creation Options"), 276, 148);
    auto* sourceLabel = platform::NewLabel(QStringLiteral("Browse to existing data file."), this);
    auto* newLabel = platform::NewLabel(QStringLiteral("Browse to a folder and enter data file name."), this);
    auto* encodingLabel = platform::NewLabel(QStringLiteral("Encoding:"), this);
    auto* pageSizeLabel = platform::NewLabel(QStringLiteral("Page Size:"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    encodingLabel->setBuddy(m_cbEncoding);
    pageSizeLabel->setBuddy(m_cbPageSize);

    Place(m_rbCreateNew, 10, 11, 128, 10);
    Place(m_rbFromExisting, 10, 28, 215, 10);
    Place(sourceLabel, 10, 44, 112, 8);
    Place(m_edSourcePath, 10, 53, 219, 14);
    Place(m_btnBrowseSource, 228, 53, 41, 15);
    Place(newLabel, 10, 73, 164, 8);
    Place(m_edNewPath, 10, 82, 220, 14);
    Place(m_btnBrowseFolder, 229, 82, 40, 15);
    Place(encodingLabel, 10, 108, 36, 8);
    Place(m_cbEncoding, 48, 106, 48, 12);
    Place(pageSizeLabel, 106, 108, 37, 8);
    Place(m_cbPageSize, 146, 106, 48, 12);
    Place(m_chkAutoVacuum, 217, 108, 52, 10);
    Place(m_btnCreate, 145, 127, 50, 14);
    Place(cancel, 222, 128, 48, 14);

    // Only Create is pressed by Enter.
    for (QPushButton* button : {m_btnBrowseSource, m_btnBrowseFolder, cancel})
        button->setAutoDefault(false);
    m_btnCreate->setDefault(true);

    QWidget* const tabOrder[] = {m_rbCreateNew, m_rbFromExisting, m_edSourcePath, m_btnBrowseSource, m_edNewPath,
                                 m_btnBrowseFolder, m_cbEncoding, m_cbPageSize, m_chkAutoVacuum, m_btnCreate, cancel};
    SetTabOrder(tabOrder);

    auto* sources = new QButtonGroup(this);
    sources->addButton(m_rbCreateNew);
    sources->addButton(m_rbFromExisting);

    // However the choice changes (a click, the arrow keys), the source controls follow it.
    connect(m_rbFromExisting, &QRadioButton::toggled, this, [this](bool fromExisting) {
        if (fromExisting)
            OnClickedFromExisting();
        else
            OnClickedCreateNew();
    });
    connect(m_btnBrowseSource, &QPushButton::clicked, this, &CCreateNewDbDlg::OnBrowseSourceFile);
    connect(m_btnBrowseFolder, &QPushButton::clicked, this, &CCreateNewDbDlg::OnBrowseFolder);
    connect(m_btnCreate, &QPushButton::clicked, this, &CCreateNewDbDlg::OnClickedCreate);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    OnInitDialog();
}

int CCreateNewDbDlg::DoModal() { return platform::RunModal(*this); }

void CCreateNewDbDlg::OnInitDialog()
{
    m_rbCreateNew->setChecked(true);
    std::wstring folder;
    if (CAppDataFile* store = MainAppDataFile())
        store->GetTextValue(NODE_USER_DB_LOCATION, folder);
    m_edNewPath->setText(platform::ToQString(folder));
    m_cbEncoding->AddStrings(ReadValueList(NODE_ENCODE_TYPES));
    m_cbPageSize->AddStrings(ReadValueList(NODE_PAGE_SIZES));
    m_cbEncoding->SelectString(0, L"UTF-8");
    m_cbPageSize->SelectString(1, L"1024");
    m_edSourcePath->setEnabled(false);
    m_btnBrowseSource->setEnabled(false);
    m_rbCreateNew->setFocus();
}

void CCreateNewDbDlg::OnClickedCreateNew()
{
    m_edSourcePath->setEnabled(false);
    m_btnBrowseSource->setEnabled(false);
}

void CCreateNewDbDlg::OnClickedFromExisting()
{
    m_edSourcePath->setEnabled(true);
    m_btnBrowseSource->setEnabled(true);
}

void CCreateNewDbDlg::OnBrowseSourceFile()
{
    platform::FileRequest request;
    request.owner = this;
    request.defaultExtension = L"db";
    request.filter = L"Sqlite Files (*.db);;All Files (*)";
    request.mustExist = true;
    const std::wstring chosen = platform::GetFileName(request);
    if (!chosen.empty())
        m_edSourcePath->setText(platform::ToQString(chosen));
}

void CCreateNewDbDlg::OnBrowseFolder()
{
    std::wstring initial = g_strDbFolder;
    std::wstring stored;
    if (CAppDataFile* store = MainAppDataFile(); store && store->GetTextValue(NODE_USER_DB_LOCATION, stored))
        initial = stored;
    std::wstring chosen;
    BrowseForFolder(chosen, this, initial, L"Select a folder");
    if (chosen.empty()) {
        platform::MessageBox(this, STR_SELECT_A_FOLDER, STR_WARNING_CAPTION,
                             platform::MB_OK | platform::MB_ICONINFORMATION);
        return;
    }
    // Folders are kept with their separator, so the file name is typed straight after it.
    if (chosen.back() != L'/')
        chosen += L'/';
    m_edNewPath->setText(platform::ToQString(chosen));
    if (chosen != initial) {
        g_strDbFolder = chosen;
        if (CAppDataFile* store = MainAppDataFile())
            store->UpdateTextValue(NODE_USER_DB_LOCATION, chosen);
    }
}

void CCreateNewDbDlg::OnClickedCreate()
{
    if (ValidateInput())
        accept();
}

void CCreateNewDbDlg::ShowBox(const std::wstring& text, const wchar_t* caption)
{
    platform::MessageBox(this, text, caption, platform::MB_OK | platform::MB_ICONINFORMATION);
}

bool CCreateNewDbDlg::ValidateInput()
{
    m_bNewDatabase = 1;
    const std::wstring text = platform::FromQString(m_edNewPath->text());
    if (platform::PathExists(text)) {
        ShowBox(STR_FILE_EXISTS, STR_FILE_EXISTS_CAPTION);
        m_edNewPath->setFocus();
        return false;
    }
    if (CSplitPath(text.c_str()).GetFileName().empty()) {
        ShowBox(STR_ENTER_NEW_FILE_NAME, STR_ENTER_FILE_NAME_CAPTION);
        m_edNewPath->setFocus();
        return false;
    }
    m_strNewPath = text;
    m_nAutoVacuum = m_chkAutoVacuum->isChecked() ? 1 : 0;
    m_strEncoding = m_cbEncoding->GetWindowText();
    m_strPageSize = m_cbPageSize->GetWindowText();
    if (m_rbFromExisting->isChecked()) {
        m_bNewDatabase = 0;
        const std::wstring source = platform::FromQString(m_edSourcePath->text());
        if (CSplitPath(source.c_str()).GetFileName().empty()) {
            ShowBox(STR_ENTER_EXISTING_FILE_NAME, STR_ENTER_FILE_NAME_CAPTION);
            m_edSourcePath->setFocus();
            return false;
        }
        if (!platform::FileExists(source)) {
            std::wstring message;
            ShowBox(FormatString(message, L"<%s> %s", source, STR_FILE_NOT_EXISTS), STR_FILE_NOT_EXISTS_CAPTION);
            return false;
        }
        m_strSourcePath = source;
    }
    return true;
}
