#include "designers/caddnewcolumndlg.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/textutil.h"
#include "designers/ccolumnconstraintdlg.h"
#include "designers/designerkit.h"
#include "designers/statementcomposer.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

int Flag(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

} // namespace

CAddNewColumnDlg::CAddNewColumnDlg(const std::wstring& tableName, QWidget* parent)
    : QDialog(parent)
    , m_strTableName(tableName)
    , m_editDefault(new QLineEdit(this))
    , m_chkNotNull(new QCheckBox(QStringLiteral("Not Null"), this))
    , m_editPrecision(new QLineEdit(this))
    , m_chkPrimary(new QCheckBox(QStringLiteral("Primary"), this))
    , m_editSize(new QLineEdit(this))
    , m_cbType(new platform::ComboBox(true, true, this))
    , m_chkUnique(new QCheckBox(QStringLiteral("Unique"), this))
    , m_editName(new QLineEdit(this))
    , m_btnConstraint(new QPushButton(QStringLiteral("Constraint..."), this))
    , m_btnOk(new QPushButton(QStringLiteral("OK"), this))
{
    InitDialogFrame(*this, QStringLiteral("Add Field"), 231, 92);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    const auto label = [this](const char* text, QWidget* buddy) {
        auto* widget = platform::NewLabel(QString::fromLatin1(text), this);
        widget->setBuddy(buddy);
        return widget;
    };

    auto* fields = new QGridLayout;
    fields->addWidget(label("Field Name:", m_editName), 0, 0);
    fields->addWidget(m_editName, 0, 1);
    fields->addWidget(label("Type:", m_cbType), 0, 2);
    fields->addWidget(m_cbType, 0, 3);
    fields->addWidget(label("Size:", m_editSize), 1, 0);
    fields->addWidget(m_editSize, 1, 1);
    fields->addWidget(label("Precision:", m_editPrecision), 1, 2);
    fields->addWidget(m_editPrecision, 1, 3);
    fields->addWidget(label("Default:", m_editDefault), 2, 0);
    fields->addWidget(m_editDefault, 2, 1, 1, 3);
    auto* flags = new QHBoxLayout;
    flags->addWidget(m_chkPrimary);
    flags->addWidget(m_chkNotNull);
    flags->addWidget(m_chkUnique);
    flags->addStretch();
    flags->addWidget(m_btnConstraint);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnOk);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(flags);
    layout->addStretch();
    layout->addLayout(buttons);

    m_btnOk->setDefault(true);
    m_btnConstraint->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(m_btnConstraint, &QPushButton::clicked, this, &CAddNewColumnDlg::OnConstraint);
    connect(m_btnOk, &QPushButton::clicked, this, &CAddNewColumnDlg::OnBnClickedOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    QWidget* const tabOrder[] = {m_editName, m_cbType,     m_editSize,      m_editPrecision, m_editDefault, m_chkPrimary,
                                 m_chkNotNull, m_chkUnique, m_btnConstraint, m_btnOk,         cancel};
    SetTabOrder(tabOrder);
    m_editName->setFocus();

    // "New Type..." is an ordinary entry here: choosing it opens nothing.
    m_cbType->AddStrings(ValueListEntries(VALUE_LIST_BLANK_ENTRY, NODE_DB_DATA_TYPES));
}

int CAddNewColumnDlg::DoModal() { return platform::RunModal(*this); }

void CAddNewColumnDlg::StoreFlagsAndDefault()
{
    m_column.m_strDefault = platform::FromQString(m_editDefault->text());
    m_column.m_bNotNull = Flag(m_chkNotNull);
    m_column.m_bPrimaryKey = Flag(m_chkPrimary);
    m_column.m_bUnique = Flag(m_chkUnique);
}

void CAddNewColumnDlg::OnConstraint()
{
    StoreFlagsAndDefault();
    m_column.m_strName = platform::FromQString(m_editName->text());
    // The dialog works on a copy: a Cancel keeps the record, and a constraint applied
    // before, as they were.
    CColumnConstraintDlg dialog(&m_column, this);
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    m_column = dialog.m_column;
    m_chkNotNull->setChecked(m_column.m_bNotNull != 0);
    m_chkPrimary->setChecked(m_column.m_bPrimaryKey != 0);
    m_chkUnique->setChecked(m_column.m_bUnique != 0);
    m_editDefault->setText(platform::ToQString(m_column.m_strDefault));
}

void CAddNewColumnDlg::OnBnClickedOk()
{
    const std::wstring name = platform::FromQString(m_editName->text());
    if (IsEmptyName(name)) {
        platform::MessageBox(this, STR_FIELD_NAME_REQUIRED, STR_PRODUCT_NAME, platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }
    // The check boxes win over the flags the constraint dialog gave.
    StoreFlagsAndDefault();
    m_column.m_strName = name;
    m_strColumnName = name;
    m_column.m_strSize = platform::FromQString(m_editSize->text());
    m_column.m_strPrecision = platform::FromQString(m_editPrecision->text());
    // The type as the box shows it, chosen or typed; its one-blank first entry is no type.
    const std::wstring type = m_cbType->GetWindowText();
    m_column.m_strType = IsSet(type) ? type : std::wstring();
    try {
        CurrentDb().ExecuteCmd(AddColumnText(m_strTableName, m_column));
        accept();
    } catch (const CADbSqlException& e) {
        ShowDesignerFailure(this, e);
    }
}
