#pragma once
// The rows behind a grid. A grid is one view over one row source, and a row source only
// tells what changed (lines inserted or removed, cells changed, the rows about to change
// and sorted): it knows no grid, so any number of grids may show it. A list-mode grid
// holds its own texts (ListRows: the schema designers, the recent-file tab, PRAGMA
// windows); the rows of a datasheet come from the datasheet model, shared by every
// window on it.
#include <QAbstractTableModel>

#include <string>
#include <vector>

class GridItemModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridItemModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The list columns appear once, with their titles; a second grid over the same rows
    // finds them there.
    void CreateColumns(const std::vector<std::wstring>& titles);

    // The line count grows by appending lines and shrinks by dropping the last ones.
    void SetLineCount(int count);
    int LineCount() const { return m_nLines; }

    // The cells of these lines changed: every grid paints them again.
    void RefreshLines(int first, int last);

    // A cell's text as the grid's callers read it; "" outside the lines.
    virtual std::wstring CellText(int row, int column) const = 0;
    // Stores an edited cell. changed: the text differs from the text at edit start, or
    // the store is a check-box toggle. True when the store added a line (the new-row line
    // became a row).
    virtual bool StoreCell(int row, int column, const std::wstring& text, bool changed, bool rowChanged) = 0;
    // Deletes the rows, given from the highest down, as far as they can be deleted; the
    // number deleted. Each line deleted is removed from the lines.
    virtual int DeleteRows(const std::vector<int>& rows) = 0;
    // Sorts the rows by the column; false when the rows kept their order.
    virtual bool Sort(int column, bool ascending) = 0;
    // After its sort the grid that asked for it shows the first line: the rows were
    // loaded anew in their new order. A list's lines move with their selection instead.
    virtual bool ShowsFirstLineAfterSort() const = 0;
    // Writes back the row under edit; its line, -1 when nothing was undone.
    virtual int UndoRowEdit() = 0;
    // Loading has ended and the last line is the new-row line.
    virtual bool HasNewRowLine() const = 0;
    // Grid lines between the cells.
    virtual bool DrawsGridLines() const = 0;
    // A click or Enter on a "..." cell presses its button at once, as in a form;
    // otherwise a click chooses rows and Enter moves on, and only Space presses it.
    virtual bool PressesButtonCellsAtOnce() const = 0;

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

signals:
    // The rows are about to be deleted or put in another order: every grid over them
    // closes its open cell first, so that what it holds goes to the row it was typed in.
    void RowsAboutToChange();
    // The rows were sorted by the column: every grid marks that column and paints its
    // lines again.
    void Sorted(int column, bool ascending);

protected:
    // The text Qt paints.
    virtual QString DisplayText(int row, int column) const = 0;

    std::vector<std::wstring> m_arrTitles;
    int m_nColumns = 0;
    int m_nLines = 0;
};
