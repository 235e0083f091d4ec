#pragma once
// What a report prints: a title, named columns and rows of cell texts. The datasheet's
// model is the source of every printed report (CDatasheetReportSource).
#include <string>
#include <vector>

class CReportSource {
public:
    virtual ~CReportSource() = default;

    virtual std::wstring GetTitle() const = 0;
    // The rows known now; a report covers the rows loaded when it began.
    virtual int GetRowCount() const = 0;
    virtual int GetColumnCount() const = 0;
    virtual std::wstring GetColumnName(int column) const = 0;
    // The texts of the rows firstRow..lastRow in the columns firstColumn..lastColumn,
    // row by row, into out (emptied first).
    virtual void ReadCells(int firstRow, int lastRow, int firstColumn, int lastColumn,
                           std::vector<std::wstring>& out) = 0;
};
