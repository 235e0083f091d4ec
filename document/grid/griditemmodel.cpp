#include "document/grid/griditemmodel.h"

#include "platform/utf16.h"

#include <algorithm>

GridItemModel::GridItemModel(QObject* parent)
    : QAbstractTableModel(parent)
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
        section >= static_cast<int>(m_arrTitles.size()))
        return QVariant();
    return platform::ToQString(m_arrTitles[static_cast<size_t>(section)]);
}

Qt::ItemFlags GridItemModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GridItemModel::CreateColumns(const std::vector<std::wstring>& titles)
{
    const int count = static_cast<int>(titles.size());
    if (count <= m_nColumns)
        return;
    beginInsertColumns(QModelIndex(), m_nColumns, count - 1);
    m_arrTitles = titles;
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
