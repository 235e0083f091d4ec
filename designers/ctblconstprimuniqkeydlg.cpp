#include "designers/ctblconstprimuniqkeydlg.h"

#include "data/constants.h"
#include "designers/designerkit.h"
#include "document/grid/clistctrlcombo.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/enterkey.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

constexpr int GRID_ID = 4530;

enum KeyColumnIndex { COL_KEY_NAME, COL_COLLATE, COL_SORT };

// Widths in dialog units: every column fits the dialog's width.
constexpr std::array<GridColumnSpec, 3> KEY_COLUMNS{{
    {L"Key Name", GRID_TEXT_ONLY, 100},
    {L"Collate", GRID_COMBO, 48},
    {L"Sort", GRID_COMBO, 44},
}};

} // namespace

CTblConstPrimUniqKeyDlg::CTblConstPrimUniqKeyDlg(std::vector<ColumnDefinition>* columns, std::vector<KeyColumn>* keys,
                                                 std::wstring* conflict, QWidget* parent)
    : QDialog(parent)
    , m_pColumns(columns)
    , m_pConflict(conflict)
    , m_pKeys(keys)
    , m_cbConflict(new platform::ComboBox(true, true, this))
    , m_btnAddKey(new QPushButton(QStringLiteral("Add Key"), this))
    , m_btnDeleteKey(new QPushButton(QStringLiteral("Delete Key"), this))
    , m_btnApply(new QPushButton(QStringLiteral("Apply"), this))
{
    InitDialogFrame(*this, QStringLiteral("Primary - Unique Key"), 228, 144);
    auto* conflictLabel = platform::NewLabel(QStringLiteral("On Conflict:"), this);
    conflictLabel->setBuddy(m_cbConflict);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);

    // Row i is key i: a header click never sorts the rows.
    CreateDesignerGrid(m_wndList, this, GRID_ID);

    auto* keyButtons = new QHBoxLayout;
    keyButtons->addWidget(m_btnAddKey);
    keyButtons->addWidget(m_btnDeleteKey);
    keyButtons->addStretch();
    auto* conflictRow = new QHBoxLayout;
    conflictRow->addWidget(conflictLabel);
    conflictRow->addWidget(m_cbConflict, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnApply);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&m_wndList, 1);
    layout->addLayout(keyButtons);
    layout->addLayout(conflictRow);
    layout->addLayout(buttons);

    connect(m_btnAddKey, &QPushButton::clicked, this, &CTblConstPrimUniqKeyDlg::OnAddKey);
    connect(m_btnDeleteKey, &QPushButton::clicked, this, &CTblConstPrimUniqKeyDlg::OnDeleteKey);
    connect(m_btnApply, &QPushButton::clicked, this, &CTblConstPrimUniqKeyDlg::OnApply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    QWidget* const tabOrder[] = {m_wndList.GetGrid(), m_btnAddKey, m_btnDeleteKey, m_cbConflict, m_btnApply, cancel};
    SetTabOrder(tabOrder);
    // Only Apply commits: Enter presses no button.
    platform::KeepEnterFromButtons(*this);

    InitKeyGrid();
}

CTblConstPrimUniqKeyDlg::~CTblConstPrimUniqKeyDlg() = default;

int CTblConstPrimUniqKeyDlg::DoModal() { return platform::RunModal(*this); }

void CTblConstPrimUniqKeyDlg::InitKeyGrid()
{
    m_wndList.AddColumns(KEY_COLUMNS);
    CListCtrlCombo* grid = m_wndList.GetGrid();
    grid->AddComboItems(COL_COLLATE, ValueListEntries(VALUE_LIST_BLANK_ENTRY, NODE_COLLATE_TYPES));
    grid->AddComboItems(COL_SORT, ValueListEntries(VALUE_LIST_EMPTY_ENTRY, NODE_SORTBY_TYPES));
    m_cbConflict->AddStrings(ValueListEntries(VALUE_LIST_EMPTY_ENTRY, NODE_CONFLICT_TYPES));
    m_cbConflict->ShowValue(*m_pConflict);
    m_wndList.InitGrid();
    std::vector<std::wstring> names;
    GetKeyNames(names);
    RebuildKeys(names);
}

LRESULT CTblConstPrimUniqKeyDlg::OnMessage(UINT message, WPARAM, LPARAM lParam)
{
    if (message == UM_LIST_ROW_DELETED && lParam >= 0 && static_cast<size_t>(lParam) < m_pKeys->size())
        m_pKeys->erase(m_pKeys->begin() + lParam);
    return 0;
}

void CTblConstPrimUniqKeyDlg::GetKeyNames(std::vector<std::wstring>& out) const
{
    for (const KeyColumn& key : *m_pKeys)
        out.push_back(key.m_strName);
}

void CTblConstPrimUniqKeyDlg::RebuildKeys(const std::vector<std::wstring>& names)
{
    CListCtrlCombo* grid = m_wndList.GetGrid();
    grid->EndEdit(-1);
    grid->BeginEdit(-1, -1, false);
    grid->DeleteAllItems();

    std::vector<KeyColumn> keys;
    for (const std::wstring& name : names) {
        const auto old = std::find_if(m_pKeys->begin(), m_pKeys->end(),
                                      [&name](const KeyColumn& key) { return key.m_strName == name; });
        keys.push_back(old != m_pKeys->end() ? *old : KeyColumn{name, {}, {}});
        const KeyColumn& key = keys.back();
        const int row = grid->InsertItem(grid->GetItemCount(), key.m_strName);
        grid->SetItemText(row, COL_COLLATE, key.m_strCollate);
        grid->SetItemText(row, COL_SORT, key.m_strSort);
        grid->EndEdit(-1);
        grid->BeginEdit(row, COL_KEY_NAME, true);
    }
    *m_pKeys = std::move(keys);
    grid->viewport()->update();
}

void CTblConstPrimUniqKeyDlg::CommitKeyGrid()
{
    CListCtrlCombo* grid = m_wndList.GetGrid();
    // A cell still open counts as left: its choice is in the row.
    grid->CloseCell();
    const int rows = std::min(grid->GetItemCount(), static_cast<int>(m_pKeys->size()));
    for (int row = 0; row < rows; ++row) {
        KeyColumn& key = (*m_pKeys)[static_cast<size_t>(row)];
        key.m_strName = m_wndList.GetItemText(row, COL_KEY_NAME);
        key.m_strCollate = m_wndList.GetItemText(row, COL_COLLATE);
        key.m_strSort = m_wndList.GetItemText(row, COL_SORT);
    }
    *m_pConflict = m_cbConflict->GetWindowText();
}

void CTblConstPrimUniqKeyDlg::OnAddKey()
{
    CommitKeyGrid();
    std::vector<std::wstring> offered;
    for (const ColumnDefinition& column : *m_pColumns)
        offered.push_back(column.m_strName);
    std::vector<std::wstring> names;
    GetKeyNames(names);
    if (PickNames(offered, names))
        RebuildKeys(names);
}

void CTblConstPrimUniqKeyDlg::OnDeleteKey()
{
    // The grid asks first and reports each deleted row, highest first.
    m_wndList.GetGrid()->DeleteSelectedRows();
}

void CTblConstPrimUniqKeyDlg::OnApply()
{
    CommitKeyGrid();
    accept();
}
