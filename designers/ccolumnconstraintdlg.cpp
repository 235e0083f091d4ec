#include "designers/ccolumnconstraintdlg.h"

#include "data/constants.h"
#include "designers/cforkeyclausedlg.h"
#include "designers/designerkit.h"
#include "platform/utf16.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/enterkey.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "platform/widgets/presenters.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A label above its control.
QVBoxLayout* Labelled(QWidget* parent, const QString& text, QWidget* control)
{
    auto* label = platform::NewLabel(text, parent);
    label->setBuddy(control);
    auto* layout = new QVBoxLayout;
    layout->setSpacing(2);
    layout->addWidget(label);
    layout->addWidget(control);
    return layout;
}

// A check box group: the check box (and a second one beside it) on the first line, then
// one line per labelled box; a group with one box has it beside the check box.
QGroupBox* Group(QWidget* parent, const QString& title, QCheckBox* check,
                 std::initializer_list<std::pair<const char*, QWidget*>> rows, QCheckBox* second = nullptr)
{
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QGridLayout(group);
    layout->setVerticalSpacing(4);
    layout->addWidget(check, 0, 0);
    int row = second || rows.size() > 1 ? 1 : 0;
    if (second)
        layout->addWidget(second, 0, 1, 1, 2);
    for (const auto& [label, control] : rows) {
        auto* text = platform::NewLabel(QString::fromUtf8(label), group);
        text->setBuddy(control);
        layout->addWidget(text, row, row == 0 ? 1 : 0);
        layout->addWidget(control, row, row == 0 ? 2 : 1, 1, row == 0 ? 1 : 2);
        ++row;
    }
    layout->setColumnStretch(2, 1);
    return group;
}

QPlainTextEdit* MultiLineEdit(QWidget* parent, Qt::ScrollBarPolicy verticalBar)
{
    auto* edit = new QPlainTextEdit(parent);
    edit->setVerticalScrollBarPolicy(verticalBar);
    edit->setTabChangesFocus(true);
    return edit;
}

} // namespace

CColumnConstraintDlg::CColumnConstraintDlg(const ColumnDefinition* column, QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_column(column ? *column : ColumnDefinition())
    , m_chkPrimaryKey(new QCheckBox(QStringLiteral("Primary Key"), this))
    , m_chkAutoIncrement(new QCheckBox(QStringLiteral("Autoincrement"), this))
    , m_edCheck(MultiLineEdit(this, Qt::ScrollBarAlwaysOn))
    , m_cbCollate(new platform::ComboBox(true, true, this))
    , m_edConstraintName(new QLineEdit(this))
    , m_edDefault(MultiLineEdit(this, Qt::ScrollBarAsNeeded))
    , m_chkNotNull(new QCheckBox(QStringLiteral("Not Null"), this))
    , m_cbNotNullConflict(new platform::ComboBox(true, true, this))
    , m_cbPkConflict(new platform::ComboBox(true, true, this))
    , m_cbSortBy(new platform::ComboBox(true, true, this))
    , m_chkUnique(new QCheckBox(QStringLiteral("Unique"), this))
    , m_cbUniqueConflict(new platform::ComboBox(true, true, this))
    , m_btnSetForeignKey(new QPushButton(QStringLiteral("Set Foreign Key"), this))
    , m_btnApply(new QPushButton(QStringLiteral("Apply"), this))
{
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto* left = new QVBoxLayout;
    left->addLayout(Labelled(this, QStringLiteral("Constraint Name:"), m_edConstraintName));
    left->addWidget(Group(this, QStringLiteral("Primary Key"), m_chkPrimaryKey,
                          {{"Sort By:", m_cbSortBy}, {"On Conflict:", m_cbPkConflict}}, m_chkAutoIncrement));
    left->addWidget(Group(this, QStringLiteral("Not Null"), m_chkNotNull, {{"On Conflict:", m_cbNotNullConflict}}));
    left->addWidget(Group(this, QStringLiteral("Unique"), m_chkUnique, {{"On Conflict:", m_cbUniqueConflict}}));
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addLayout(Labelled(this, QStringLiteral("Check Constraint Expression:"), m_edCheck), 1);
    right->addLayout(Labelled(this, QStringLiteral("Default Value or Expression:"), m_edDefault), 1);
    right->addLayout(Labelled(this, QStringLiteral("Collate:"), m_cbCollate));

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnSetForeignKey);
    buttons->addStretch(1);
    buttons->addWidget(m_btnApply);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    InitDialogFrame(*this, QStringLiteral("Column Constraint"), 360, 233);

    QWidget* const tabOrder[] = {m_edConstraintName, m_chkPrimaryKey,     m_chkAutoIncrement, m_cbSortBy,
                                 m_cbPkConflict,     m_chkNotNull,        m_cbNotNullConflict, m_chkUnique,
                                 m_cbUniqueConflict, m_edCheck,           m_edDefault,         m_cbCollate,
                                 m_btnSetForeignKey, m_btnApply,          cancel};
    SetTabOrder(tabOrder);
    m_edConstraintName->setFocus();

    // The dialog's OK does nothing: only Apply and Cancel close it, and Enter presses neither.
    platform::KeepEnterFromButtons(*this);
    connect(m_btnSetForeignKey, &QPushButton::clicked, this, &CColumnConstraintDlg::OnSetForeignKey);
    connect(m_btnApply, &QPushButton::clicked, this, &CColumnConstraintDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    OnInitDialog();
}

int CColumnConstraintDlg::DoModal() { return platform::RunModal(*this); }

void CColumnConstraintDlg::OnInitDialog()
{
    m_cbSortBy->AddStrings(ValueListEntries(VALUE_LIST_EMPTY_ENTRY, NODE_SORTBY_TYPES));
    // One reading fills the three conflict boxes.
    const std::vector<std::wstring> conflicts = ValueListEntries(VALUE_LIST_EMPTY_ENTRY, NODE_CONFLICT_TYPES);
    for (platform::ComboBox* box : {m_cbPkConflict, m_cbNotNullConflict, m_cbUniqueConflict})
        box->AddStrings(conflicts);
    m_cbCollate->AddStrings(ValueListEntries(VALUE_LIST_EMPTY_ENTRY, NODE_COLLATE_TYPES));
    LoadControls();
}

void CColumnConstraintDlg::LoadControls()
{
    m_chkPrimaryKey->setChecked(m_column.m_bPrimaryKey != 0);
    m_chkNotNull->setChecked(m_column.m_bNotNull != 0);
    m_chkUnique->setChecked(m_column.m_bUnique != 0);
    m_chkAutoIncrement->setChecked(m_column.m_bAutoIncrement != 0);
    m_edConstraintName->setText(platform::ToQString(m_column.m_strConstraintName));
    m_cbSortBy->ShowValue(m_column.m_strSortOrder);
    m_cbPkConflict->ShowValue(m_column.m_strPkConflict);
    m_cbNotNullConflict->ShowValue(m_column.m_strNotNullConflict);
    m_cbUniqueConflict->ShowValue(m_column.m_strUniqueConflict);
    m_edCheck->setPlainText(platform::ToQString(m_column.m_strCheck));
    m_edDefault->setPlainText(platform::ToQString(m_column.m_strDefault));
    m_cbCollate->ShowValue(m_column.m_strCollate);
}

void CColumnConstraintDlg::SaveControls()
{
    m_column.m_bPrimaryKey = m_chkPrimaryKey->isChecked() ? 1 : 0;
    m_column.m_bNotNull = m_chkNotNull->isChecked() ? 1 : 0;
    m_column.m_bAutoIncrement = m_chkAutoIncrement->isChecked() ? 1 : 0;
    m_column.m_bUnique = m_chkUnique->isChecked() ? 1 : 0;
    m_column.m_strCheck = platform::FromQString(m_edCheck->toPlainText());
    m_column.m_strCollate = m_cbCollate->GetWindowText();
    m_column.m_strConstraintName = platform::FromQString(m_edConstraintName->text());
    m_column.m_strDefault = platform::FromQString(m_edDefault->toPlainText());
    m_column.m_strNotNullConflict = m_cbNotNullConflict->GetWindowText();
    m_column.m_strPkConflict = m_cbPkConflict->GetWindowText();
    m_column.m_strSortOrder = m_cbSortBy->GetWindowText();
    m_column.m_strUniqueConflict = m_cbUniqueConflict->GetWindowText();
    m_column.m_bHasConstraint = 1;
}

void CColumnConstraintDlg::OnSetForeignKey()
{
    std::vector<std::wstring> candidates = {m_column.m_strName};
    CForKeyClauseDlg dialog(&candidates, &m_column, this, CForKeyClauseDlg::MODE_COLUMN);
    dialog.DoModal();
}

void CColumnConstraintDlg::OnApply()
{
    SaveControls();
    accept();
}
