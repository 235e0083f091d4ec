#pragma once
// A report source of any size that makes its texts up from the row and column and
// records which rows were read, to show that a preview reads only what it shows.
#include "document/report/creportsource.h"

#include <string>
#include <vector>

class FakeReportSource : public CReportSource {
public:
    FakeReportSource(int rows, int columns, std::wstring title = L"people")
        : m_nRows(rows)
        , m_nColumns(columns)
        , m_strTitle(std::move(title))
    {
    }

    std::wstring GetTitle() const override { return m_strTitle; }
    int GetRowCount() const override { return m_nRows; }
    int GetColumnCount() const override { return m_nColumns; }
    std::wstring GetColumnName(int column) const override { return L"col" + std::to_wstring(column); }
    void ReadCells(int firstRow, int lastRow, int firstColumn, int lastColumn, std::vector<std::wstring>& out) override
    {
        out.clear();
        for (int row = firstRow; row <= lastRow; ++row) {
            m_arrRowsRead.push_back(row);
            for (int column = firstColumn; column <= lastColumn; ++column)
                out.push_back(Cell(row, column));
        }
    }

    static std::wstring Cell(int row, int column) { return L"r" + std::to_wstring(row) + L"c" + std::to_wstring(column); }

    std::vector<int> m_arrRowsRead;

private:
    int m_nRows;
    int m_nColumns;
    std::wstring m_strTitle;
};
