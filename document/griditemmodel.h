#pragma once
// The item model behind the grid's table view. List mode keeps the texts here.
// Datasheet mode keeps only a line count: each painted cell's display text comes
// from the datasheet model when Qt asks for it, and no other role reaches it.
#include <QAbstractTableModel>

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

    // List mode.
    int InsertLine(int row, const std::wstring& text);
    void SetText(int row, int column, const std::wstring& text);
    const std::wstring& Text(int row, int column) const;
    void RemoveLine(int row);
    void RemoveAll();
    // Puts the lines in a new order: line i becomes the line that was order[i].
    void Reorder(const std::vector<int>& order);

    // Tells the view that the cells of these lines must be painted again.
    void RefreshLines(int first, int last);

private:
    CListCtrlCombo* m_pGrid;
    int m_nColumns = 0;
    int m_nLines = 0;
    std::vector<std::vector<std::wstring>> m_arrTexts; // list mode only
};
