#pragma once
// The rows of one datasheet as its grids see them: the document's one row source, shared
// by the grids of all its windows. It reads each painted cell from the datasheet model
// and writes through it, and tells every grid what changed: lines counted or loaded,
// rows inserted or removed, a row's cells stored, the rows about to change and sorted.
// It holds no grid: each grid listens and paints again what it shows.
#include "document/datasheet/cdataaccess.h"
#include "document/datasheet/datasheetlines.h"
#include "document/grid/griditemmodel.h"

#include <optional>
#include <string>
#include <vector>

class CDataInterface;

class DatasheetRows : public GridItemModel, public DatasheetLines {
    Q_OBJECT
public:
    // The rows of the bridge's model; the bridge tells them their line count from now on.
    explicit DatasheetRows(CDataInterface& bridge);
    ~DatasheetRows() override;

    std::wstring CellText(int row, int column) const override;
    // Through the model; a row inserted from the new-row line adds a line.
    bool StoreCell(int row, int column, const std::wstring& text, bool changed, bool rowChanged) override;
    // The new-row line is no row of the record set: it is never deleted. The rows go
    // together or not at all; the lines of the rows deleted are removed where they were.
    int DeleteRows(const std::vector<int>& rows) override;
    // Through the bridge, by the model's column name (a header text may be cut short).
    bool Sort(int column, bool ascending) override;
    bool ShowsFirstLineAfterSort() const override { return true; }
    int UndoRowEdit() override;
    bool HasNewRowLine() const override;
    bool DrawsGridLines() const override { return false; }
    bool PressesButtonCellsAtOnce() const override { return false; }

    void BeginViewportRead() override;
    void EndViewportRead() override;

    int InsertLine(int, const std::wstring&) override { return -1; }
    void SetText(int, int, const std::wstring&) override {}
    void RemoveLine(int) override {}
    void RemoveAll() override {}

    void UpdateLineCount(int count) override;
    void DetachDataInterface(CDataInterface* bridge) override;

protected:
    QString DisplayText(int row, int column) const override;

private:
    CDataAccess* Model() const;
    // The lines of the rows deleted (given from the highest down) go run by run of
    // adjacent rows, the highest run first, so that the runs still to go keep their lines.
    void RemoveDeletedLines(const std::vector<int>& rows);

    CDataInterface* m_pBridge;
    std::optional<CDataAccess::ViewportRead> m_read;
    int m_nReadDepth = 0; // a viewport read inside another one shares it
};
