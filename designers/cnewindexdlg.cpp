#include "designers/cnewindexdlg.h"

#include "data/constants.h"
#include "data/textutil.h"
#include "designers/createobject.h"
#include "designers/designerkit.h"
#include "designers/objectstatements.h"
#include "document/grid/clistctrlcombo.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/enterkey.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "platform/widgets/presenters.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Widths in dialog units: every column fits the dialog's width.
const GridColumnSpec kKeyColumns[] = {
    {L"Key Name", GRID_TEXT_ONLY, 110},
    {L"Collate", GRID_COMBO, 52},
    {L"Sort", GRID_COMBO, 44},
};

} // namespace

CNewIndexDlg::CNewIndexDlg(QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_editName(new QLineEdit(this))
    , m_comboTable(new platform::ComboBox(true, true, this))
    , m_checkUnique(new QCheckBox(QStringLiteral("Unique"), this))
{
    auto* fieldsLabel = platform::NewLabel(QStringLiteral("On Field(s):"), this);
    auto* nameLabel = platform::NewLabel(QStringLiteral("Index Name:"), this);
    auto* tableLabel = platform::NewLabel(QStringLiteral("On Table:"), this);
    auto* chooseFields = new QPushButton(QStringLiteral("On Field(s)..."), this);
    auto* save = new QPushButton(QStringLiteral("Save"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    nameLabel->setBuddy(m_editName);
    tableLabel->setBuddy(m_comboTable);

    auto* layout = new QGridLayout(this);
    layout->addWidget(nameLabel, 0, 0);
    layout->addWidget(m_editName, 0, 1);
    layout->addWidget(m_checkUnique, 0, 2);
    layout->addWidget(tableLabel, 1, 0);
    layout->addWidget(m_comboTable, 1, 1);
    layout->addWidget(fieldsLabel, 2, 0);
    layout->addWidget(chooseFields, 2, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 4, 0, 1, 3);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(1, 1);

    connect(chooseFields, &QPushButton::clicked, this, &CNewIndexDlg::OnChooseFields);
    connect(save, &QPushButton::clicked, this, &CNewIndexDlg::OnSave);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    OnInitDialog();
    // The key grid fills the room below "On Field(s):" and above the buttons.
    layout->addWidget(&m_grid, 3, 0, 1, 3);
    InitDialogFrame(*this, QStringLiteral("New Index"), 248, 182);
    QWidget* const tabOrder[] = {m_editName, m_checkUnique, m_comboTable, chooseFields, m_grid.GetGrid(), save, cancel};
    SetTabOrder(tabOrder);
    // Only Save saves, and only when pressed.
    platform::KeepEnterFromButtons(*this);
    m_editName->setFocus();
}

int CNewIndexDlg::DoModal() { return platform::RunModal(*this); }

void CNewIndexDlg::OnInitDialog()
{
    // No table is chosen until the user picks or types one.
    FillTableNames(this, *m_comboTable);
    CreateDesignerGrid(m_grid, this, GRID_ID); // the rows are the keys in their order
    SetupKeyGrid();
}

void CNewIndexDlg::SetupKeyGrid()
{
    m_grid.AddColumns(kKeyColumns);
    CListCtrlCombo* grid = m_grid.GetGrid();
    grid->AddComboItems(KEY_COLLATE_COLUMN, ValueListEntries(VALUE_LIST_BLANK_ENTRY, NODE_COLLATE_TYPES));
    grid->AddComboItems(KEY_SORT_COLUMN, ValueListEntries(VALUE_LIST_EMPTY_ENTRY, NODE_SORTBY_TYPES));
    m_grid.InitGrid();
}

void CNewIndexDlg::OnChooseFields()
{
    if (PickTableColumns(this, m_comboTable->GetWindowText(), m_arrKeyNames))
        FillKeyGrid();
}

void CNewIndexDlg::FillKeyGrid()
{
    CListCtrlCombo* grid = m_grid.GetGrid();
    grid->EndEdit(-1);
    grid->BeginEdit(-1, -1, false);
    grid->DeleteAllItems();
    for (const std::wstring& name : m_arrKeyNames) {
        const int row = grid->InsertItem(grid->GetItemCount(), name);
        grid->EndEdit(row);
        grid->BeginEdit(row, KEY_NAME_COLUMN, true);
    }
}

std::vector<KeyColumn> CNewIndexDlg::GridKeys() const
{
    std::vector<KeyColumn> keys;
    const CListCtrlCombo* grid = m_grid.GetGrid();
    for (int row = 0; row < grid->GetItemCount(); ++row)
        keys.push_back({grid->GetItemText(row, KEY_NAME_COLUMN), grid->GetItemText(row, KEY_COLLATE_COLUMN),
                        grid->GetItemText(row, KEY_SORT_COLUMN)});
    return keys;
}

std::wstring CNewIndexDlg::BuildStatement() const
{
    return CreateIndexText(platform::FromQString(m_editName->text()), m_comboTable->GetWindowText(),
                           m_checkUnique->isChecked(), GridKeys());
}

void CNewIndexDlg::OnSave()
{
    // A collation or sort order chosen and not yet left counts as chosen.
    m_grid.GetGrid()->CloseCell();
    const std::wstring name = platform::FromQString(m_editName->text());
    if (IsEmptyName(name)) {
        platform::MessageBox(this, STR_INDEX_NAME_REQUIRED, STR_PRODUCT_NAME, platform::MB_OK);
        m_editName->setFocus();
        return;
    }
    m_strIndexName = name;
    if (CreateObject(this, {L"index", STR_INDEX_EXISTS, name}, BuildStatement(), m_editName))
        accept();
}
