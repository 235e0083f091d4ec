#pragma once
// The grid's selected rows, kept as ranges: a selection of millions of rows costs a pair
// of numbers per run of adjacent rows, not a mark per row. The ranges are disjoint, in
// ascending order, and never touch (adjacent ranges are merged).
#include <utility>
#include <vector>

class RowSelection {
public:
    using Range = std::pair<int, int>; // first and last row, inclusive

    bool IsEmpty() const { return m_arrRanges.empty(); }
    bool Contains(int row) const;
    const std::vector<Range>& Ranges() const { return m_arrRanges; }

    void Clear() { m_arrRanges.clear(); }
    // Adds, or takes away, the rows first to last (in either order).
    void Select(int first, int last);
    void Deselect(int first, int last);
    void Toggle(int row);

    // Lines were inserted before row `at`: the rows from it on move down by count.
    void InsertLines(int at, int count);
    // The lines first to last went: their rows leave the selection and the rows below
    // move up.
    void RemoveLines(int first, int last);
    // Every line has a new place: line i became line newRowOf[i].
    void Remap(const std::vector<int>& newRowOf);

private:
    std::vector<Range> m_arrRanges;
};
