#pragma once
// The view of every data window. By its document's kind it hosts the grid frame in
// datasheet mode (the rows of a table, a database view or a SELECT), in list mode (the
// result of a PRAGMA statement, the database's PRAGMA settings), or the relationship
// diagram. It fills the grid, keeps it covering the view, sets the caption strip when
// activated, previews the report of its datasheet and moves BLOBs between cells and files.
#include "document/grid/clistframe.h"
#include "document/windows/datasheetframe.h"
#include "document/windows/doctemplate.h"
#include "platform/messagetarget.h"

#include <QPointer>

#include <memory>

class CChildView;
class CRelationshipDiagram;
class CTabulonDoc;

// Posted by the initial update to the view itself: the layout may begin.
inline constexpr UINT UM_VIEW_READY = WM_APP;

inline constexpr wchar_t STR_ACTIVE_VIEW[] = L"<Active View:%s>";
inline constexpr wchar_t STR_PRAGMA_NO_RESULT[] = L"Pragma yields no result";

// Grid frame ids of the two modes.
inline constexpr int DATASHEET_GRID_ID = 501;
inline constexpr int LIST_GRID_ID = 502;
inline constexpr int DATASHEET_COLUMN_WIDTH = 130;

class CTabulonView : public CView, public platform::MessageTarget {
    Q_OBJECT
public:
    CTabulonView();
    // Releases the report view of the window.
    ~CTabulonView() override;

    CTabulonDoc* GetDocument() const;

    int OnCreate() override;
    void OnInitialUpdate() override;
    void OnActivateView(bool activate, CView* activated, CView* deactivated) override;
    // UM_VIEW_READY and UM_CELL_BUTTON; the grid's list notices are ignored.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Print Report: the report of the datasheet in print preview. Enabled for the
    // datasheet kinds only.
    void OnPrintReportCommand();
    bool OnUpdatePrintReportCommand() const;
    // Print: the print dialog, then the report printed without its preview; enabled as
    // Print Report is.
    void OnFilePrintCommand();
    // New Window applies to the rows of a table, a view or a query.
    bool CanOpenNewWindow() const;

    void SetupDatasheet();
    void RunPragmaQuery();
    void FillDatabaseSettings();
    LRESULT OnViewReady();
    LRESULT OnCellButton(int column, int row);

    CListFrame m_wndGrid;
    // The datasheet kinds' side of the grid frame: its rows and the strip's commands.
    // It goes before the grid frame it serves.
    std::unique_ptr<DatasheetFrame> m_pDatasheet;
    int m_bLayoutReady = 0;
    QPointer<CChildView> m_pReportView;     // the datasheet kinds' report, released with the view
    CRelationshipDiagram* m_pDiagram = nullptr; // the diagram window's contents

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool IsDatasheetKind() const;
    bool IsFirstWindow() const;
    bool HasGrid() const;
    void LayOut();
    // Appends a list row and makes its first cell the current one.
    void AppendListRow(const std::vector<std::wstring>& texts);
};

// The one template of the data windows: a CTabulonDoc in a CTabulonView, its frames in
// the main frame's MDI area. Made on first use.
CDocTemplate& DataWindowTemplate();
