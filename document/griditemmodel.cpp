#include "document/griditemmodel.h"

#include "document/cdataaccess.h"
#include "document/clistctrlcombo.h"
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
    // Datasheet mode: straight from the model's row buffer into the QString.
    if (CDataAccess* data = m_pGrid->GetDataAccess()) {
        const wchar_t* text = data->GetCellText(row, column);
        return text ? QString::fromWCharArray(text) : QString();
    }
    return platform::ToQString(Text(row, column));
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
    for (auto& line : m_arrTexts)
        line.resize(count);
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

int GridItemModel::InsertLine(int row, const std::wstring& text)
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

void GridItemModel::SetText(int row, int column, const std::wstring& text)
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

const std::wstring& GridItemModel::Text(int row, int column) const
{
    static const std::wstring empty;
    if (row < 0 || row >= static_cast<int>(m_arrTexts.size()))
        return empty;
    const auto& line = m_arrTexts[row];
    return column >= 0 && column < static_cast<int>(line.size()) ? line[column] : empty;
}

void GridItemModel::RemoveLine(int row)
{
    if (row < 0 || row >= static_cast<int>(m_arrTexts.size()))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_arrTexts.erase(m_arrTexts.begin() + row);
    --m_nLines;
    endRemoveRows();
}

void GridItemModel::RemoveAll()
{
    if (m_nLines == 0)
        return;
    beginRemoveRows(QModelIndex(), 0, m_nLines - 1);
    m_arrTexts.clear();
    m_nLines = 0;
    endRemoveRows();
}

void GridItemModel::Reorder(const std::vector<int>& order)
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
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after.append(this->index(newRowOf[index.row()], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GridItemModel::RefreshLines(int first, int last)
{
    first = std::max(0, first);
    last = std::min(last, m_nLines - 1);
    if (first > last || m_nColumns == 0)
        return;
    emit dataChanged(index(first, 0), index(last, m_nColumns - 1), {Qt::DisplayRole});
}
