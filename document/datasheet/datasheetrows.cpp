#include "document/datasheet/datasheetrows.h"

#include "data/constants.h"
#include "document/datasheet/cdatainterface.h"

DatasheetRows::DatasheetRows(CDataInterface& bridge)
    : m_pBridge(&bridge)
{
    bridge.m_pLines = this;
}

DatasheetRows::~DatasheetRows()
{
    if (m_pBridge && m_pBridge->m_pLines == this)
        m_pBridge->m_pLines = nullptr;
}

CDataAccess* DatasheetRows::Model() const
{
    return m_pBridge ? m_pBridge->m_pDataAccess : nullptr;
}

void DatasheetRows::UpdateLineCount(int count)
{
    SetLineCount(count);
}

void DatasheetRows::DetachDataInterface(CDataInterface* bridge)
{
    if (m_pBridge == bridge)
        m_pBridge = nullptr;
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
    if (result == CELL_STORED || result == CELL_ROW_INSERTED)
        RefreshLines(row, row);
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
    if (recordRows.empty())
        return 0;
    emit RowsAboutToChange();
    const int deleted = data->DeleteRows(recordRows);
    if (deleted > 0)
        RemoveDeletedLines(recordRows);
    return deleted;
}

void DatasheetRows::RemoveDeletedLines(const std::vector<int>& rows)
{
    for (size_t high = 0; high < rows.size();) {
        size_t low = high;
        while (low + 1 < rows.size() && rows[low + 1] == rows[low] - 1)
            ++low;
        beginRemoveRows(QModelIndex(), rows[low], rows[high]);
        m_nLines -= rows[high] - rows[low] + 1;
        endRemoveRows();
        high = low + 1;
    }
}

bool DatasheetRows::Sort(int column, bool ascending)
{
    CDataAccess* data = Model();
    if (!data)
        return false;
    emit RowsAboutToChange();
    if (!m_pBridge->Sort(data->GetColumnName(column), ascending ? SORT_ASCENDING : SORT_DESCENDING))
        return false;
    emit Sorted(column, ascending);
    return true;
}

int DatasheetRows::UndoRowEdit()
{
    CDataAccess* data = Model();
    const int row = data ? data->UndoRowEdit() : -1;
    RefreshLines(row, row);
    return row;
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
