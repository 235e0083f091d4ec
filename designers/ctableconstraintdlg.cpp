#include "designers/ctableconstraintdlg.h"

#include "designers/cforkeyclausedlg.h"
#include "designers/ctableschemadlg.h"
#include "designers/ctblconstprimuniqkeydlg.h"
#include "platform/utf16.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/enterkey.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CTableConstraintDlg::CTableConstraintDlg(CTableSchemaDlg* owner)
    : QDialog(owner)
    , m_pOwner(owner)
    , m_editName(new QLineEdit(this))
    , m_editCheck(new QLineEdit(this))
    , m_btnPrimaryKey(new QPushButton(QStringLiteral("Set Primary Key..."), this))
    , m_btnUniqueKey(new QPushButton(QStringLiteral("Set Unique Key..."), this))
    , m_btnForeignKey(new QPushButton(QStringLiteral("Set Foreign Key..."), this))
    , m_btnApply(new QPushButton(QStringLiteral("Apply"), this))
{
    InitDialogFrame(*this, QStringLiteral("Table Constraint"), 214, 135);
    auto* nameLabel = platform::NewLabel(QStringLiteral("Constraint Name:"), this);
    nameLabel->setBuddy(m_editName);
    auto* checkLabel = platform::NewLabel(QStringLiteral("CHECK Expression:"), this);
    checkLabel->setBuddy(m_editCheck);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto* keys = new QVBoxLayout;
    keys->addWidget(m_btnPrimaryKey);
    keys->addWidget(m_btnUniqueKey);
    keys->addWidget(m_btnForeignKey);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnApply);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(nameLabel);
    layout->addWidget(m_editName);
    layout->addLayout(keys);
    layout->addWidget(checkLabel);
    layout->addWidget(m_editCheck);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(m_btnPrimaryKey, &QPushButton::clicked, this, &CTableConstraintDlg::OnSetPrimaryKey);
    connect(m_btnUniqueKey, &QPushButton::clicked, this, &CTableConstraintDlg::OnSetUniqueKey);
    connect(m_btnForeignKey, &QPushButton::clicked, this, &CTableConstraintDlg::OnSetForeignKey);
    connect(m_btnApply, &QPushButton::clicked, this, &CTableConstraintDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    QWidget* const tabOrder[] = {m_editName, m_btnPrimaryKey, m_btnUniqueKey, m_btnForeignKey, m_editCheck, m_btnApply, cancel};
    SetTabOrder(tabOrder);
    m_editName->setFocus();
    // Only Apply commits: Enter presses no button.
    platform::KeepEnterFromButtons(*this);

    const TableConstraint& constraint = m_pOwner->m_constraint;
    m_editCheck->setText(platform::ToQString(constraint.m_strCheck));
    m_editName->setText(platform::ToQString(constraint.m_strName));
}

int CTableConstraintDlg::DoModal() { return platform::RunModal(*this); }

void CTableConstraintDlg::OnSetPrimaryKey()
{
    TableConstraint& constraint = m_pOwner->m_constraint;
    EditKeys(constraint.m_arrPrimaryKey, constraint.m_strPkConflict);
}

void CTableConstraintDlg::OnSetUniqueKey()
{
    TableConstraint& constraint = m_pOwner->m_constraint;
    EditKeys(constraint.m_arrUnique, constraint.m_strUniqueConflict);
}

void CTableConstraintDlg::EditKeys(std::vector<KeyColumn>& keys, std::wstring& conflict)
{
    // The key dialog offers the columns as the grid shows them now.
    m_pOwner->RefreshColumnsFromGrid();
    CTblConstPrimUniqKeyDlg dialog(&m_pOwner->m_arrColumns, &keys, &conflict, this);
    dialog.DoModal();
}

void CTableConstraintDlg::OnSetForeignKey()
{
    std::vector<std::wstring> candidates;
    for (const ColumnDefinition& column : m_pOwner->m_arrColumns)
        candidates.push_back(column.m_strName);
    CForKeyClauseDlg dialog(&candidates, &m_pOwner->m_constraint.m_foreignKey, this, CForKeyClauseDlg::MODE_TABLE);
    dialog.DoModal();
}

void CTableConstraintDlg::OnApply()
{
    TableConstraint& constraint = m_pOwner->m_constraint;
    constraint.m_strCheck = platform::FromQString(m_editCheck->text());
    constraint.m_strName = platform::FromQString(m_editName->text());
    accept();
}
