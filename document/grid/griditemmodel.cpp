#include "document/grid/griditemmodel.h"

#include "data/constants.h"
#include "document/datasheet/cdatainterface.h"
#include "document/grid/clistctrlcombo.h"
#include "document/grid/clistframe.h"
#include "platform/messagetarget.h"
#include "platform/utf16.h"

#include <algorithm>


GridItemModel::GridItemModel(CListCtrlCombo* grid)
    : QAbstractTableModel(grid)
    , m_pGrid(grid)
{
}

int GridItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_nLines;
}

int GridItemModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_nColumns;
}

QVariant GridItemModel::data(const QModelIndex& index, int role) const
{
    const int row = index.row();
    const int column = index.column();
    if (role != Qt::DisplayRole || !index.isValid() || row >= m_nLines || column >= m_nColumns)
        return QVariant();
    return DisplayText(row, column);
}

QVariant GridItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(m_pGrid->m_arrColumns.size()))
        return QVariant();
    return platform::ToQString(m_pGrid->m_arrColumns[section].m_strTitle);
}

Qt::ItemFlags GridItemModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GridItemModel::CreateColumns(int count)
{
    if (count <= m_nColumns)
        return;
    beginInsertColumns(QModelIndex(), m_nColumns, count - 1);
    m_nColumns = count;
    endInsertColumns();
}

void GridItemModel::SetLineCount(int count)
{
    count = std::max(0, count);
    if (count > m_nLines) {
        beginInsertRows(QModelIndex(), m_nLines, count - 1);
        m_nLines = count;
        endInsertRows();
    } else if (count < m_nLines) {
        beginRemoveRows(QModelIndex(), count, m_nLines - 1);
        m_nLines = count;
        endRemoveRows();
    }
}

void GridItemModel::RefreshLines(int first, int last)
{
    first = std::max(0, first);
    last = std::min(last, m_nLines - 1);
    if (first > last || m_nColumns == 0)
        return;
    emit dataChanged(index(first, 0), index(last, m_nColumns - 1), {Qt::DisplayRole});
}

// List mode.

QString ListRows::DisplayText(int row, int column) const
{
    return platform::ToQString(Text(row, column));
}

std::wstring ListRows::CellText(int row, int column) const
{
    return Text(row, column);
}

bool ListRows::StoreCell(int row, int column, const std::wstring& text, bool changed, bool)
{
    if (changed)
        SetText(row, column, text);
    return false;
}

int ListRows::DeleteRows(const std::vector<int>& rows)
{
    for (int row : rows) {
        m_pGrid->DeleteItem(row);
        platform::SendMessage(m_pGrid->GetOwnerFrame()->GetOwnerWindow(), UM_LIST_ROW_DELETED, 0, row);
    }
    return static_cast<int>(rows.size());
}

bool ListRows::IsSortable() const
{
    return m_pGrid->GetOwnerFrame()->m_bSortable != 0;
}

bool ListRows::Sort(int column, bool ascending)
{
    const int count = static_cast<int>(m_arrTexts.size());
    std::vector<int> order(count);
    for (int i = 0; i < count; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const std::u16string ta = platform::ToUtf16(Text(a, column));
        const std::u16string tb = platform::ToUtf16(Text(b, column));
        return ascending ? ta < tb : tb < ta;
    });
    Reorder(order);
    return true;
}

int ListRows::InsertLine(int row, const std::wstring& text)
{
    if (row < 0 || row > m_nLines)
        row = m_nLines;
    beginInsertRows(QModelIndex(), row, row);
    std::vector<std::wstring> line(std::max(1, m_nColumns));
    line[0] = text;
    m_arrTexts.insert(m_arrTexts.begin() + row, std::move(line));
    ++m_nLines;
    endInsertRows();
    return row;
}

void ListRows::SetText(int row, int column, const std::wstring& text)
{
    if (row < 0 || row >= static_cast<int>(m_arrTexts.size()) || column < 0)
        return;
    auto& line = m_arrTexts[row];
    if (column >= static_cast<int>(line.size()))
        line.resize(column + 1);
    line[column] = text;
    if (column < m_nColumns)
        emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

const std::wstring& ListRows::Text(int row, int column) const
{
    static const std::wstring empty;
    if (row < 0 || row >= static_cast<int>(m_arrTexts.size()))
        return empty;
    const auto& line = m_arrTexts[row];
    return column >= 0 && column < static_cast<int>(line.size()) ? line[column] : empty;
}

void ListRows::RemoveLine(int row)
{
    if (row < 0 || row >= static_cast<int>(m_arrTexts.size()))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_arrTexts.erase(m_arrTexts.begin() + row);
    --m_nLines;
    endRemoveRows();
}

void ListRows::RemoveAll()
{
    if (m_nLines == 0)
        return;
    beginRemoveRows(QModelIndex(), 0, m_nLines - 1);
    m_arrTexts.clear();
    m_nLines = 0;
    endRemoveRows();
}

void ListRows::Reorder(const std::vector<int>& order)
{
    if (order.size() != m_arrTexts.size())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    std::vector<std::vector<std::wstring>> texts(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        texts[i] = std::move(m_arrTexts[order[i]]);
        newRowOf[order[i]] = static_cast<int>(i);
    }
    m_arrTexts = std::move(texts);
    m_pGrid->OnLinesReordered(newRowOf);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after.append(this->index(newRowOf[index.row()], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// Datasheet mode.

CDataAccess* DatasheetRows::Model() const
{
    return m_pGrid->GetOwnerFrame()->GetDataAccess();
}

QString DatasheetRows::DisplayText(int row, int column) const
{
    // Straight from the model's row buffer into the QString.
    CDataAccess* data = Model();
    const wchar_t* text = data ? data->GetCellText(row, column) : nullptr;
    return text ? QString::fromWCharArray(text) : QString();
}

std::wstring DatasheetRows::CellText(int row, int column) const
{
    CDataAccess* data = Model();
    if (!data || row < 0 || row >= m_nLines)
        return std::wstring();
    const wchar_t* text = data->GetCellText(row, column);
    return text ? std::wstring(text) : std::wstring();
}

bool DatasheetRows::StoreCell(int row, int column, const std::wstring& text, bool, bool rowChanged)
{
    CDataAccess* data = Model();
    if (!data)
        return false;
    const bool newRowLine = HasNewRowLine() && row == m_nLines - 1;
    const int result = data->SetCellValue(row, column, text, rowChanged);
    if (!newRowLine || result != CELL_ROW_INSERTED)
        return false;
    SetLineCount(m_nLines + 1);
    return true;
}

int DatasheetRows::DeleteRows(const std::vector<int>& rows)
{
    CDataAccess* data = Model();
    if (!data)
        return 0;
    const int records = data->GetRecordCount();
    std::vector<int> recordRows;
    for (int row : rows)
        if (row < records)
            recordRows.push_back(row);
    const int deleted = recordRows.empty() ? 0 : data->DeleteRows(recordRows);
    if (deleted > 0) {
        m_pGrid->ClearSelection();
        SetLineCount(m_nLines - deleted);
    }
    return deleted;
}

bool DatasheetRows::Sort(int column, bool ascending)
{
    CDataAccess* data = Model();
    CDataInterface* bridge = m_pGrid->GetOwnerFrame()->m_pDataInterface;
    if (!data || !bridge || !bridge->Sort(data->GetColumnName(column), ascending ? SORT_ASCENDING : SORT_DESCENDING))
        return false;
    m_pGrid->viewport()->update();
    m_pGrid->scrollToTop();
    return true;
}

int DatasheetRows::UndoRowEdit()
{
    CDataAccess* data = Model();
    return data ? data->UndoRowEdit() : -1;
}

bool DatasheetRows::HasNewRowLine() const
{
    CDataAccess* data = Model();
    return data && data->IsLoadEnded() && m_nLines == data->GetRecordCount() + 1;
}

void DatasheetRows::BeginViewportRead()
{
    if (m_nReadDepth++ == 0)
        m_read.emplace(Model());
}

void DatasheetRows::EndViewportRead()
{
    if (--m_nReadDepth == 0)
        m_read.reset();
}
