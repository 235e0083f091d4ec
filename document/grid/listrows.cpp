#include "document/grid/listrows.h"

#include "platform/utf16.h"

#include <algorithm>

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
        RemoveLine(row);
        emit LineDeleted(row);
    }
    return static_cast<int>(rows.size());
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
    emit Sorted(column, ascending);
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
    emit LinesReordered(newRowOf);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after.append(this->index(newRowOf[index.row()], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
