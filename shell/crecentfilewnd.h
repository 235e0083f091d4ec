#pragma once
// The workspace pane's "Recent File" tab: one row per entry of the recent-file list as
// it stood when the pane was made. A double-click on a row, or Enter on the highlighted
// row, opens that file; the arrows only move. A file that can no longer be read is
// reported and taken off both lists, and so is a row deleted with the Delete key.
#include "document/grid/clistframe.h"
#include "platform/messagetarget.h"

#include <QWidget>

#include <string>
#include <vector>

inline constexpr wchar_t STR_RECENT_FILE_COLUMN[] = L"Recent File";
inline constexpr wchar_t STR_FILE_NOT_EXIST[] = L"<%s> is not exist";
inline constexpr wchar_t STR_FILE_NOT_EXIST_CAPTION[] = L"Nonexistent file";

class CRecentFileWnd : public QWidget, public platform::MessageTarget {
public:
    static constexpr int WINDOW_ID = 9008;
    static constexpr int LIST_ID = 45308;

    // Makes the list and fills it.
    explicit CRecentFileWnd(QWidget* parent = nullptr);
    ~CRecentFileWnd() override;

    // UM_LIST_ROW_OPEN (lParam row) and UM_LIST_ROW_DELETED from the list; a row that
    // only becomes current (UM_LIST_ROW_ACTIVATE) opens nothing.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Opens the row's file; a file that cannot be read leaves both lists.
    void OnRowActivate(int column, int row);
    // Rows left the list: their files leave the recent-file list for good.
    void OnRowDeleted();

    CListFrame& GetList() { return m_wndList; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillList();

    CListFrame m_wndList;
    int m_bFilling = 1; // activations while the list fills open nothing
    std::vector<std::wstring> m_arrShownPaths; // the paths the rows show, in no order
};
