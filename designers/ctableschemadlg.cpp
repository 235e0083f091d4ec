#include "designers/ctableschemadlg.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/textutil.h"
#include "designers/ccolumnconstraintdlg.h"
#include "designers/ctableconstraintdlg.h"
#include "designers/designerkit.h"
#include "document/grid/clistctrlcombo.h"
#include "platform/messagebox.h"
#include "platform/utf16.h"
#include "platform/widgets/dialogframe.h"
#include "platform/widgets/enterkey.h"
#include "platform/widgets/modaldialog.h"
#include "platform/widgets/plaintext.h"
#include "platform/widgets/presenters.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int GRID_ID = 45307;

enum GridColumnIndex { COL_NAME, COL_TYPE, COL_SIZE, COL_PRECISION, COL_DEFAULT, COL_PRIMARY, COL_NOT_NULL, COL_UNIQUE };

// Widths in dialog units: every column fits the dialog's width.
constexpr std::array<GridColumnSpec, 9> GRID_COLUMNS{{
    {L"Name", GRID_EDIT, 80},
    {L"Type", GRID_COMBO, 56},
    {L"Size", GRID_EDIT, 28},
    {L"Precision", GRID_EDIT, 38},
    {L"Default", GRID_EDIT, 42},
    {L"Primary", GRID_CHECK_BOX, 36},
    {L"Not NULL", GRID_CHECK_BOX, 40},
    {L"Unique", GRID_CHECK_BOX, 34},
    {L"Constraint", GRID_BUTTON, 44},
}};

constexpr wchar_t STR_INVALID_INPUT_CAPTION[] = L"Invalid Input";
constexpr wchar_t STR_TABLE_NAME_REQUIRED[] = L"Table name is requred.";
constexpr wchar_t STR_ADD_A_FIELD[] = L"Please add at least one field to the table";
constexpr wchar_t STR_SIZE_NOT_INTEGER[] = L"Size field must be an Integer";
constexpr wchar_t STR_PRECISION_NOT_INTEGER[] = L"Precision field must be an Integer";
constexpr wchar_t STR_PRECISION_NEEDS_SIZE[] = L"Field precision requires field size.\nPlease enter field size";

const wchar_t* CheckCell(int flag) { return flag ? L"1" : L"0"; }

} // namespace

CTableSchemaDlg::CTableSchemaDlg(QWidget* parent)
    : QDialog(parent ? parent : platform::MainWindow())
    , m_editTableName(new QLineEdit(this))
    , m_btnTableConstraint(new QPushButton(QStringLiteral("Table Constraint..."), this))
    , m_btnAddField(new QPushButton(QStringLiteral("Add Field"), this))
    , m_btnSave(new QPushButton(QStringLiteral("Save"), this))
{
    InitDialogFrame(*this, QStringLiteral("New Table"), 431, 196);
    auto* label = platform::NewLabel(QStringLiteral("Table Name:"), this);
    label->setBuddy(m_editTableName);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);

    // The grid fills the room between the name and the buttons; its rows stay its
    // records, so a header click never sorts them.
    CreateDesignerGrid(m_wndList, this, GRID_ID);
    InitGridColumns();

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(label);
    nameRow->addWidget(m_editTableName, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnTableConstraint);
    buttons->addWidget(m_btnAddField);
    buttons->addStretch();
    buttons->addWidget(m_btnSave);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addSpacing(8);
    layout->addWidget(&m_wndList, 1);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(m_btnTableConstraint, &QPushButton::clicked, this, &CTableSchemaDlg::OnTableConstraint);
    connect(m_btnAddField, &QPushButton::clicked, this, &CTableSchemaDlg::OnAddField);
    connect(m_btnSave, &QPushButton::clicked, this, &CTableSchemaDlg::OnSave);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    QWidget* const tabOrder[] = {m_editTableName, m_wndList.GetGrid(), m_btnTableConstraint,
                                 m_btnAddField,   m_btnSave,            cancel};
    SetTabOrder(tabOrder);
    m_editTableName->setFocus();
    // Only Save commits: Enter presses no button.
    platform::KeepEnterFromButtons(*this);
}

CTableSchemaDlg::~CTableSchemaDlg() = default;

int CTableSchemaDlg::DoModal() { return platform::RunModal(*this); }

void CTableSchemaDlg::InitGridColumns()
{
    m_wndList.AddColumns(GRID_COLUMNS);
    CListCtrlCombo* grid = m_wndList.GetGrid();
    grid->AddComboItems(COL_TYPE, ValueListEntries(VALUE_LIST_BLANK_ENTRY, NODE_DB_DATA_TYPES));
    m_wndList.InitGrid();
}

LRESULT CTableSchemaDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_CELL_BUTTON: return OnCellButton(wParam, lParam);
    case UM_LIST_ROW_DELETED: return OnListRowDeleted(lParam);
    default: return 0;
    }
}

bool CTableSchemaDlg::HasRecord(LPARAM row) const
{
    return row >= 0 && static_cast<size_t>(row) < m_arrColumns.size();
}

void CTableSchemaDlg::OnAddField()
{
    CListCtrlCombo* grid = m_wndList.GetGrid();
    const int row = grid->GetItemCount();
    grid->InsertItem(row, std::wstring());
    grid->EndEdit(-1);
    grid->BeginEdit(row, COL_NAME, true);
    m_arrColumns.emplace_back();
}

LRESULT CTableSchemaDlg::OnCellButton(WPARAM, LPARAM row)
{
    if (!HasRecord(row))
        return 0;
    const int index = static_cast<int>(row);
    ColumnDefinition column;
    ReadColumnFromGrid(index, column);
    CColumnConstraintDlg dialog(&column, this);
    if (dialog.DoModal() != QDialog::Accepted)
        return 0;
    m_arrColumns[static_cast<size_t>(index)] = dialog.m_column;
    ShowColumnFlags(index);
    return 0;
}

void CTableSchemaDlg::ShowColumnFlags(int row)
{
    const ColumnDefinition& column = m_arrColumns[static_cast<size_t>(row)];
    CListCtrlCombo* grid = m_wndList.GetGrid();
    grid->SetItemText(row, COL_PRIMARY, CheckCell(column.m_bPrimaryKey));
    grid->SetItemText(row, COL_NOT_NULL, CheckCell(column.m_bNotNull));
    grid->SetItemText(row, COL_UNIQUE, CheckCell(column.m_bUnique));
    grid->SetItemText(row, COL_DEFAULT, column.m_strDefault);
}

LRESULT CTableSchemaDlg::OnListRowDeleted(LPARAM row)
{
    if (HasRecord(row))
        m_arrColumns.erase(m_arrColumns.begin() + row);
    return 0;
}

void CTableSchemaDlg::OnTableConstraint()
{
    RefreshColumnsFromGrid();
    CTableConstraintDlg dialog(this);
    dialog.DoModal();
}

bool CTableSchemaDlg::ReadColumnFromGrid(int row, ColumnDefinition& out) const
{
    if (!HasRecord(row))
        return false;
    out = m_arrColumns[static_cast<size_t>(row)];
    if (row >= m_wndList.GetGrid()->GetItemCount())
        return false;
    out.m_strName = m_wndList.GetItemText(row, COL_NAME);
    out.m_strType = m_wndList.GetItemText(row, COL_TYPE);
    out.m_strSize = m_wndList.GetItemText(row, COL_SIZE);
    out.m_strPrecision = m_wndList.GetItemText(row, COL_PRECISION);
    out.m_strDefault = m_wndList.GetItemText(row, COL_DEFAULT);
    out.m_bPrimaryKey = m_wndList.GetItemText(row, COL_PRIMARY) == L"1";
    out.m_bNotNull = m_wndList.GetItemText(row, COL_NOT_NULL) == L"1";
    out.m_bUnique = m_wndList.GetItemText(row, COL_UNIQUE) == L"1";
    return true;
}

void CTableSchemaDlg::RefreshColumnsFromGrid()
{
    // A cell still being typed in counts as left: its text is in the row.
    m_wndList.GetGrid()->CloseCell();
    for (size_t i = 0; i < m_arrColumns.size(); ++i)
        ReadColumnFromGrid(static_cast<int>(i), m_arrColumns[i]);
}

bool CTableSchemaDlg::ValidateInput()
{
    const auto refuse = [this](const wchar_t* text, UINT icon) {
        platform::MessageBox(this, text, STR_INVALID_INPUT_CAPTION, platform::MB_OK | icon);
        return false;
    };
    m_wndList.GetGrid()->CloseCell();
    if (IsEmptyName(platform::FromQString(m_editTableName->text())))
        return refuse(STR_TABLE_NAME_REQUIRED, platform::MB_ICONWARNING);
    const int rows = m_wndList.GetGrid()->GetItemCount();
    if (rows == 0)
        return refuse(STR_ADD_A_FIELD, platform::MB_ICONWARNING);
    for (int row = 0; row < rows; ++row) {
        const std::wstring size = m_wndList.GetItemText(row, COL_SIZE);
        const std::wstring precision = m_wndList.GetItemText(row, COL_PRECISION);
        if (IsEmptyName(m_wndList.GetItemText(row, COL_NAME)))
            return refuse(STR_FIELD_NAME_REQUIRED, platform::MB_ICONWARNING);
        if (!size.empty() && !IsIntegerText(size))
            return refuse(STR_SIZE_NOT_INTEGER, platform::MB_ICONWARNING);
        if (!precision.empty() && !IsIntegerText(precision))
            return refuse(STR_PRECISION_NOT_INTEGER, platform::MB_ICONWARNING);
        if (!precision.empty() && size.empty())
            return refuse(STR_PRECISION_NEEDS_SIZE, platform::MB_ICONINFORMATION);
    }
    return true;
}

std::wstring CTableSchemaDlg::BuildCreateTable()
{
    m_strTableName = platform::FromQString(m_editTableName->text());
    return CreateTableText(m_strTableName, m_arrColumns, m_constraint);
}

void CTableSchemaDlg::OnSave()
{
    try {
        if (!ValidateInput())
            return;
        RefreshColumnsFromGrid();
        const std::wstring statement = BuildCreateTable();
        CurrentDb().ExecuteCmd(statement);
        accept();
    } catch (const CADbSqlException& e) {
        ShowDesignerFailure(this, e);
    }
}
