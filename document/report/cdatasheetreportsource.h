#pragma once
// The report of a datasheet window: its model's title, columns and cells.
#include "document/report/creportsource.h"

class CDataAccess;

class CDatasheetReportSource : public CReportSource {
public:
    explicit CDatasheetReportSource(CDataAccess& data);

    std::wstring GetTitle() const override;
    // The record set's row count, in rowid mode (a table) and offset mode (a query or a
    // view) alike.
    int GetRowCount() const override;
    int GetColumnCount() const override;
    std::wstring GetColumnName(int column) const override;
    void ReadCells(int firstRow, int lastRow, int firstColumn, int lastColumn,
                   std::vector<std::wstring>& out) override;

private:
    CDataAccess& m_data;
};
