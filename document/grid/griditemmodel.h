#pragma once
// The rows behind the grid. The grid is one view over one of two row sources, chosen
// once by its owner frame's mode: the rows of a datasheet model (DatasheetRows: the view
// keeps only a line count, and each painted cell's text comes from the model when the
// grid paints it), or the texts of a list-mode grid that the grid
// holds itself (ListRows: the schema designers, the recent-file tab, PRAGMA windows).
#include "document/datasheet/cdataaccess.h"

#include <QAbstractTableModel>

#include <optional>
#include <string>
#include <vector>

class CListCtrlCombo;

class GridItemModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridItemModel(CListCtrlCombo* grid);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The list columns appear once, from the grid's column descriptors.
    void CreateColumns(int count);

    // The line count grows by appending lines and shrinks by dropping the last ones.
    void SetLineCount(int count);
    int LineCount() const { return m_nLines; }

    // Tells the view that the cells of these lines must be painted again.
    void RefreshLines(int first, int last);

    // A cell's text as the grid's callers read it; "" outside the lines.
    virtual std::wstring CellText(int row, int column) const = 0;
    // Stores an edited cell. changed: the text differs from the text at edit start, or
    // the store is a check-box toggle. True when the store added a line (the new-row line
    // became a row).
    virtual bool StoreCell(int row, int column, const std::wstring& text, bool changed, bool rowChanged) = 0;
    // Deletes the rows, given from the highest down, as far as they can be deleted; the
    // number deleted.
    virtual int DeleteRows(const std::vector<int>& rows) = 0;
    // A header click may sort the rows.
    virtual bool IsSortable() const = 0;
    // Sorts the rows by the column; false when the rows kept their order.
    virtual bool Sort(int column, bool ascending) = 0;
    // Writes back the row under edit; its line, -1 when nothing was undone.
    virtual int UndoRowEdit() = 0;
    // Loading has ended and the last line is the new-row line.
    virtual bool HasNewRowLine() const = 0;
    // Grid lines between the cells.
    virtual bool DrawsGridLines() const = 0;
    // A click or Enter on a "..." cell presses its button at once, as in a form;
    // otherwise a click chooses rows and Enter moves on, and only Space presses it.
    virtual bool PressesButtonCellsAtOnce() const = 0;
    // The grid counts among the open datasheets.
    virtual bool IsOpenDatasheet() const = 0;

    // The rows read while painting one viewport, or sizing a column to it, share one read.
    virtual void BeginViewportRead() {}
    virtual void EndViewportRead() {}
    class ViewportScope {
    public:
        explicit ViewportScope(GridItemModel& rows)
            : m_rows(rows)
        {
            m_rows.BeginViewportRead();
        }
        ~ViewportScope() { m_rows.EndViewportRead(); }
        ViewportScope(const ViewportScope&) = delete;
        ViewportScope& operator=(const ViewportScope&) = delete;

    private:
        GridItemModel& m_rows;
    };

    // The lines of a list-mode grid, which holds their texts; a datasheet's lines come
    // from its model, so these change nothing there (InsertLine gives -1).
    virtual int InsertLine(int row, const std::wstring& text) = 0;
    virtual void SetText(int row, int column, const std::wstring& text) = 0;
    virtual void RemoveLine(int row) = 0;
    virtual void RemoveAll() = 0;

protected:
    // The text Qt paints.
    virtual QString DisplayText(int row, int column) const = 0;

    CListCtrlCombo* m_pGrid;
    int m_nColumns = 0;
    int m_nLines = 0;
};

// The texts of a list-mode grid.
class ListRows : public GridItemModel {
    Q_OBJECT
public:
    using GridItemModel::GridItemModel;

    std::wstring CellText(int row, int column) const override;
    bool StoreCell(int row, int column, const std::wstring& text, bool changed, bool rowChanged) override;
    // Each row deleted is told to the owner frame's owner window (UM_LIST_ROW_DELETED).
    int DeleteRows(const std::vector<int>& rows) override;
    bool IsSortable() const override;
    // By the texts' UTF-16 code units, stable.
    bool Sort(int column, bool ascending) override;
    int UndoRowEdit() override { return -1; }
    bool HasNewRowLine() const override { return false; }
    bool DrawsGridLines() const override { return true; }
    // The rows of a designer are the fields of a form.
    bool PressesButtonCellsAtOnce() const override { return true; }
    bool IsOpenDatasheet() const override { return false; }

    int InsertLine(int row, const std::wstring& text) override;
    void SetText(int row, int column, const std::wstring& text) override;
    void RemoveLine(int row) override;
    void RemoveAll() override;

    const std::wstring& Text(int row, int column) const;
    // Puts the lines in a new order: line i becomes the line that was order[i].
    void Reorder(const std::vector<int>& order);

protected:
    QString DisplayText(int row, int column) const override;

private:
    std::vector<std::vector<std::wstring>> m_arrTexts;
};

// The rows of the datasheet model of the owner frame's data interface.
class DatasheetRows : public GridItemModel {
    Q_OBJECT
public:
    using GridItemModel::GridItemModel;

    std::wstring CellText(int row, int column) const override;
    // Through the model; a row inserted from the new-row line adds a line.
    bool StoreCell(int row, int column, const std::wstring& text, bool changed, bool rowChanged) override;
    // The new-row line is no row of the record set: it is never deleted. The lines left
    // keep their indices, so the selection is cleared after a delete.
    int DeleteRows(const std::vector<int>& rows) override;
    bool IsSortable() const override { return true; }
    // Through the data interface, by the model's column name (a header text may be cut
    // short); a sorted datasheet is painted again from its first row.
    bool Sort(int column, bool ascending) override;
    int UndoRowEdit() override;
    bool HasNewRowLine() const override;
    bool DrawsGridLines() const override { return false; }
    bool PressesButtonCellsAtOnce() const override { return false; }
    bool IsOpenDatasheet() const override { return true; }

    void BeginViewportRead() override;
    void EndViewportRead() override;

    int InsertLine(int, const std::wstring&) override { return -1; }
    void SetText(int, int, const std::wstring&) override {}
    void RemoveLine(int) override {}
    void RemoveAll() override {}

protected:
    QString DisplayText(int row, int column) const override;

private:
    CDataAccess* Model() const;

    std::optional<CDataAccess::ViewportRead> m_read;
    int m_nReadDepth = 0; // a viewport read inside another one shares it
};
