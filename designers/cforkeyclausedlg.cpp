#include "designers/cforkeyclausedlg.h"

#include "data/constants.h"
#include "designers/designerkit.h"
#include "designers/statementcomposer.h"
#include "platform/utf16.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/enterkey.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "platform/widgets/presenters.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr wchar_t kChildKeyLabel[] = L"Child Key:";

std::wstring Joined(const std::vector<std::wstring>& names)
{
    std::wstring out;
    for (const std::wstring& name : names)
        out += (out.empty() ? L"" : L", ") + name;
    return out;
}

} // namespace

CForKeyClauseDlg::CForKeyClauseDlg(std::vector<std::wstring>* childCandidates, ColumnDefinition* clause,
                                   QWidget* parent, int mode)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_pClause(clause)
    , m_pChildCandidates(childCandidates)
    , m_nMode(mode)
    , m_cbDeferrable(new platform::ComboBox(true, true, this))
    , m_cbParentTable(new platform::ComboBox(true, false, this))
    , m_cbInitially(new platform::ComboBox(true, true, this))
    , m_cbMatch(new platform::ComboBox(true, true, this))
    , m_cbOnDelete(new platform::ComboBox(true, true, this))
    , m_cbOnUpdate(new platform::ComboBox(true, true, this))
    , m_stChildKey(platform::NewLabel(platform::ToQString(kChildKeyLabel), this))
    , m_btnSetParentKey(new QPushButton(QStringLiteral("Set Parent Key..."), this))
    , m_btnSetChildKey(new QPushButton(QStringLiteral("Set Child Key..."), this))
    , m_btnApply(new QPushButton(QStringLiteral("Apply"), this))
{
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* grid = new QGridLayout;
    const std::pair<const char*, platform::ComboBox*> rows[] = {
        {"Parent Table:", m_cbParentTable}, {"On Delete:", m_cbOnDelete},   {"On Update:", m_cbOnUpdate},
        {"Match:", m_cbMatch},              {"Deferrable:", m_cbDeferrable}, {"Initially:", m_cbInitially},
    };
    int row = 0;
    for (const auto& [label, box] : rows) {
        auto* text = platform::NewLabel(QString::fromUtf8(label), this);
        text->setBuddy(box);
        grid->addWidget(text, row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }
    grid->addWidget(m_btnSetParentKey, 0, 2);
    grid->addWidget(m_stChildKey, row, 0, 1, 2);
    grid->addWidget(m_btnSetChildKey, row, 2);
    grid->setColumnStretch(1, 1);
    m_stChildKey->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnApply);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);
    InitDialogFrame(*this, QStringLiteral("Set Foreign Key"), 241, 185);

    QWidget* const tabOrder[] = {m_cbParentTable, m_btnSetParentKey, m_cbOnDelete, m_cbOnUpdate, m_cbMatch,
                                 m_cbDeferrable,  m_cbInitially,     m_btnSetChildKey, m_btnApply, cancel};
    SetTabOrder(tabOrder);
    m_cbParentTable->setFocus();

    // The dialog's OK does nothing: only Apply and Cancel close it, and Enter presses neither.
    platform::KeepEnterFromButtons(*this);
    connect(m_btnSetParentKey, &QPushButton::clicked, this, &CForKeyClauseDlg::OnSetParentKey);
    connect(m_btnSetChildKey, &QPushButton::clicked, this, &CForKeyClauseDlg::OnSetChildKey);
    connect(m_btnApply, &QPushButton::clicked, this, &CForKeyClauseDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cbDeferrable, &platform::ComboBox::SelectionChanged, this, &CForKeyClauseDlg::OnDeferrableChange);
    OnInitDialog();
}

int CForKeyClauseDlg::DoModal() { return platform::RunModal(*this); }

void CForKeyClauseDlg::OnInitDialog()
{
    FillTableNames(this, *m_cbParentTable);
    const std::vector<std::wstring> actions = ValueListEntries(VALUE_LIST_EMPTY_ENTRY, NODE_FOREIGN_KEY_ACTION_TYPES);
    m_cbOnDelete->AddStrings(actions);
    m_cbOnUpdate->AddStrings(actions);
    m_cbMatch->AddStrings(ValueListEntries(VALUE_LIST_EMPTY_ENTRY, NODE_MATCH_TYPES));
    m_cbDeferrable->AddStrings(ValueListEntries(VALUE_LIST_EMPTY_ENTRY, NODE_DEFERRABLE_TYPES));
    m_cbInitially->AddStrings(ValueListEntries(VALUE_LIST_EMPTY_ENTRY, NODE_INITIALLY_TYPES));
    SelectStoredValues();
    // Initially opens disabled whatever the record holds; choosing a deferrable entry enables it.
    m_cbInitially->setEnabled(false);
    if (m_nMode == MODE_TABLE)
        ShowChildKeys();
    else if (m_pChildCandidates && !m_pChildCandidates->empty())
        m_stChildKey->setText(platform::ToQString(std::wstring(kChildKeyLabel) + L" " + m_pChildCandidates->front()));
}

void CForKeyClauseDlg::SelectStoredValues()
{
    m_cbParentTable->ShowValue(m_pClause->m_strParentTable);
    m_cbOnDelete->ShowValue(m_pClause->m_strOnDelete);
    m_cbOnUpdate->ShowValue(m_pClause->m_strOnUpdate);
    m_cbMatch->ShowValue(m_pClause->m_strMatch);
    m_cbDeferrable->ShowValue(m_pClause->m_strDeferrable);
    m_cbInitially->ShowValue(m_pClause->m_strInitially);
}

void CForKeyClauseDlg::StoreControls()
{
    m_pClause->m_strParentTable = m_cbParentTable->GetWindowText();
    m_pClause->m_strOnDelete = m_cbOnDelete->GetWindowText();
    m_pClause->m_strOnUpdate = m_cbOnUpdate->GetWindowText();
    m_pClause->m_strMatch = m_cbMatch->GetWindowText();
    m_pClause->m_strDeferrable = m_cbDeferrable->GetWindowText();
    m_pClause->m_strInitially = IsSet(m_pClause->m_strDeferrable) ? m_cbInitially->GetWindowText() : std::wstring();
}

void CForKeyClauseDlg::ShowChildKeys()
{
    m_stChildKey->setText(platform::ToQString(std::wstring(kChildKeyLabel) + L" " + Joined(m_pClause->m_arrChildKeys)));
}

void CForKeyClauseDlg::OnDeferrableChange() { m_cbInitially->setEnabled(m_cbDeferrable->currentIndex() != 0); }

void CForKeyClauseDlg::OnSetParentKey()
{
    PickTableColumns(this, m_cbParentTable->GetWindowText(), m_pClause->m_arrParentKeys);
}

void CForKeyClauseDlg::OnSetChildKey()
{
    if (PickNames(m_pChildCandidates ? *m_pChildCandidates : std::vector<std::wstring>(), m_pClause->m_arrChildKeys))
        ShowChildKeys();
}

void CForKeyClauseDlg::OnApply()
{
    StoreControls();
    accept();
}
