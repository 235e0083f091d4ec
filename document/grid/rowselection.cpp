#include "document/grid/rowselection.h"

#include <algorithm>

bool RowSelection::Contains(int row) const
{
    // The first range that ends at or after the row.
    const auto it = std::lower_bound(m_arrRanges.begin(), m_arrRanges.end(), row,
                                     [](const Range& range, int r) { return range.second < r; });
    return it != m_arrRanges.end() && it->first <= row;
}

void RowSelection::Select(int first, int last)
{
    if (first > last)
        std::swap(first, last);
    // Every range that overlaps or touches [first, last] merges into it.
    auto begin = std::lower_bound(m_arrRanges.begin(), m_arrRanges.end(), first, [](const Range& range, int r) {
        return static_cast<long long>(range.second) + 1 < r;
    });
    auto end = begin;
    while (end != m_arrRanges.end() && end->first <= static_cast<long long>(last) + 1) {
        first = std::min(first, end->first);
        last = std::max(last, end->second);
        ++end;
    }
    const auto at = m_arrRanges.erase(begin, end);
    m_arrRanges.insert(at, Range(first, last));
}

void RowSelection::Deselect(int first, int last)
{
    if (first > last)
        std::swap(first, last);
    std::vector<Range> kept;
    kept.reserve(m_arrRanges.size() + 1);
    for (const Range& range : m_arrRanges) {
        if (range.second < first || range.first > last) {
            kept.push_back(range);
            continue;
        }
        if (range.first < first)
            kept.emplace_back(range.first, first - 1);
        if (range.second > last)
            kept.emplace_back(last + 1, range.second);
    }
    m_arrRanges = std::move(kept);
}

void RowSelection::Toggle(int row)
{
    if (Contains(row))
        Deselect(row, row);
    else
        Select(row, row);
}

void RowSelection::InsertLines(int at, int count)
{
    if (count <= 0)
        return;
    std::vector<Range> moved;
    moved.reserve(m_arrRanges.size() + 1);
    for (const Range& range : m_arrRanges) {
        if (range.second < at) {
            moved.push_back(range);
        } else if (range.first >= at) {
            moved.emplace_back(range.first + count, range.second + count);
        } else {
            // The new lines split the range; they are not selected.
            moved.emplace_back(range.first, at - 1);
            moved.emplace_back(at + count, range.second + count);
        }
    }
    m_arrRanges = std::move(moved);
}

void RowSelection::RemoveLines(int first, int last)
{
    if (first > last)
        return;
    const int count = last - first + 1;
    // The ranges that end before the lines stay as they are; only the ones after change,
    // so that lines removed one run after another from the highest cost little each.
    const auto from = std::lower_bound(m_arrRanges.begin(), m_arrRanges.end(), first,
                                       [](const Range& range, int row) { return range.second < row; });
    const std::vector<Range> rest(from, m_arrRanges.end());
    m_arrRanges.erase(from, m_arrRanges.end());
    for (const Range& range : rest) {
        if (range.first < first)
            Select(range.first, first - 1);
        // The rows below the lines move up, and may touch the range above.
        if (range.second > last)
            Select(std::max(range.first, last + 1) - count, range.second - count);
    }
}

void RowSelection::Remap(const std::vector<int>& newRowOf)
{
    RowSelection moved;
    for (const Range& range : m_arrRanges)
        for (int row = range.first; row <= range.second && row < static_cast<int>(newRowOf.size()); ++row)
            moved.Select(newRowOf[row], newRowOf[row]);
    *this = std::move(moved);
}
