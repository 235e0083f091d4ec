#pragma once
// The datasheet side of a data window. The view's grid frame shows the document's rows
// (DatasheetRows, shared by every window on the document); this frame sets it up over
// them and carries out what the caption strip asks of the window: search, find next
// and previous, add, delete and undo a row, and the related records. While its window
// is active it is the strip's target, and the strip's row buttons and position line
// follow its grid.
#include "document/strip/captiontarget.h"

#include <QObject>

#include <string>

class CDataAccess;
class CDataInterface;
class CListFrame;
class DatasheetRows;

// The number of open datasheet grids; at 0 the caption bar is cleared.
extern int g_nOpenDatasheets;

class DatasheetFrame : public QObject, public CaptionTarget {
    Q_OBJECT
public:
    // Makes the grid frame, not yet created, a datasheet frame over the rows.
    DatasheetFrame(CListFrame& frame, DatasheetRows& rows, CDataInterface& bridge);
    // The open cell is stored; a datasheet that counted itself open counts down, and the
    // last one clears the strip.
    ~DatasheetFrame() override;
    DatasheetFrame(const DatasheetFrame&) = delete;
    DatasheetFrame& operator=(const DatasheetFrame&) = delete;

    // Once after the grid frame's last column: its grid's columns; the strip's search
    // controls and Add row are enabled, and the datasheet counts as open.
    void InitGrid();
    // The window was activated: the strip shows the datasheet's title and the selection
    // state of its rows, and this frame becomes the strip's target.
    void UpdateCaptionBar();

    CListFrame& GetFrame() const { return m_frame; }
    CDataAccess* GetDataAccess() const;

    // The strip's commands.
    bool OnGridSearch(int searchType, const std::wstring& text) override;
    bool OnGridFindNext() override;
    bool OnGridFindPrev() override;
    void OnGridAddRow() override;
    void OnGridDeleteRows() override;
    void OnGridReferenceDown() override;
    void OnGridReferenceUp() override;
    void OnGridUndoRow() override;

private:
    // The strip shows the row's position (a click, a keyboard move, a selected row).
    void ShowRowPosition(int row);
    // Editing a cell ends the row selection: the row commands have nothing to act on.
    void OnCellSelected();
    // Selects a search hit or a typed row; false for -1 or a row outside the loaded ones.
    bool SelectHit(int row);
    // Go to row: n must lie between 1 and the record count; the boxes otherwise.
    void GoToRow(const std::wstring& text);
    void ShowReferences(int direction);

    CListFrame& m_frame;
    CDataInterface& m_bridge;
    bool m_bCountedOpen = false;
};
