#include "document/report/cdatasheetreportsource.h"

#include "document/datasheet/cdataaccess.h"

CDatasheetReportSource::CDatasheetReportSource(CDataAccess& data)
    : m_data(data)
{
}

std::wstring CDatasheetReportSource::GetTitle() const { return m_data.m_strSource; }

int CDatasheetReportSource::GetRowCount() const { return m_data.GetRecordCount(); }

int CDatasheetReportSource::GetColumnCount() const { return m_data.m_pRecSet ? m_data.m_pRecSet->m_nFields : 0; }

std::wstring CDatasheetReportSource::GetColumnName(int column) const { return m_data.GetColumnName(column); }

void CDatasheetReportSource::ReadCells(int firstRow, int lastRow, int firstColumn, int lastColumn,
                                       std::vector<std::wstring>& out)
{
    out.clear();
    // The rows of one page come from one read transaction, as the grid reads its viewport.
    const CDataAccess::ViewportRead read(&m_data);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            out.emplace_back(m_data.GetCellText(row, column));
}
