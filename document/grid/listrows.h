#pragma once
// The texts of a list-mode grid, held by the grid itself: the schema designers, the
// recent-file tab, the PRAGMA windows.
#include "document/grid/griditemmodel.h"

#include <string>
#include <vector>

class ListRows : public GridItemModel {
    Q_OBJECT
public:
    using GridItemModel::GridItemModel;

    std::wstring CellText(int row, int column) const override;
    bool StoreCell(int row, int column, const std::wstring& text, bool changed, bool rowChanged) override;
    // Each line deleted is told (LineDeleted) before the next one goes.
    int DeleteRows(const std::vector<int>& rows) override;
    // By the texts' UTF-16 code units, stable.
    bool Sort(int column, bool ascending) override;
    bool ShowsFirstLineAfterSort() const override { return false; }
    int UndoRowEdit() override { return -1; }
    bool HasNewRowLine() const override { return false; }
    bool DrawsGridLines() const override { return true; }
    // The rows of a designer are the fields of a form.
    bool PressesButtonCellsAtOnce() const override { return true; }

    int InsertLine(int row, const std::wstring& text) override;
    void SetText(int row, int column, const std::wstring& text) override;
    void RemoveLine(int row) override;
    void RemoveAll() override;

    const std::wstring& Text(int row, int column) const;
    // Puts the lines in a new order: line i becomes the line that was order[i].
    void Reorder(const std::vector<int>& order);

signals:
    // A line deleted by DeleteRows; the grid tells its owner.
    void LineDeleted(int row);
    // Inside a reorder, before the views paint again: line i became line newRowOf[i], so
    // that a grid's selection and current cell go with their lines.
    void LinesReordered(const std::vector<int>& newRowOf);

protected:
    QString DisplayText(int row, int column) const override;

private:
    std::vector<std::vector<std::wstring>> m_arrTexts;
};
