#include "designers/cnewviewdlg.h"

#include "data/constants.h"
#include "data/textutil.h"
#include "designers/createobject.h"
#include "designers/objectstatements.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "platform/widgets/presenters.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

CNewViewDlg::CNewViewDlg(QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_editName(new QLineEdit(this))
    , m_editSelect(new QPlainTextEdit(this))
{
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* nameLabel = platform::NewLabel(QStringLiteral("View Name:"), this);
    auto* selectLabel = platform::NewLabel(QStringLiteral("Select-Stmt"), this);
    nameLabel->setBuddy(m_editName);
    selectLabel->setBuddy(m_editSelect);
    m_editSelect->setTabChangesFocus(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(nameLabel, 0, 0);
    layout->addWidget(m_editName, 0, 1);
    layout->addWidget(selectLabel, 1, 0, Qt::AlignTop);
    layout->addWidget(m_editSelect, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 2, 0, 1, 2);
    InitDialogFrame(*this, QStringLiteral("New View"), 248, 157);

    ok->setDefault(true);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CNewViewDlg::OnSave);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_editName->setFocus();
}

int CNewViewDlg::DoModal() { return platform::RunModal(*this); }

bool CNewViewDlg::Validate()
{
    QWidget* focus = nullptr;
    const wchar_t* message = nullptr;
    if (IsEmptyName(platform::FromQString(m_editName->text()))) {
        message = STR_VIEW_NAME_REQUIRED;
        focus = m_editName;
    } else if (m_editSelect->toPlainText().trimmed().isEmpty()) {
        message = STR_VIEW_SELECT_REQUIRED;
        focus = m_editSelect;
    }
    if (!message)
        return true;
    platform::MessageBox(this, message, STR_PRODUCT_NAME, platform::MB_OK);
    focus->setFocus();
    return false;
}

std::wstring CNewViewDlg::BuildStatement()
{
    m_strViewName = platform::FromQString(m_editName->text());
    return CreateViewText(m_strViewName, platform::FromQString(m_editSelect->toPlainText()));
}

void CNewViewDlg::OnSave()
{
    if (!Validate())
        return;
    const std::wstring sql = BuildStatement();
    if (CreateObject(this, {L"view", STR_VIEW_EXISTS, m_strViewName}, sql, m_editName))
        accept();
}
